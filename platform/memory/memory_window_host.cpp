// In-memory window host: the state of every window and control, the modal
// loops, and the WindowHost calls over that state. What the user does is
// memory_user.cpp; the messages it gives come from the dialog manager.
#include "platform/memory/memory_window_host.h"

#include "platform/memory/memory_user.h"

#include <algorithm>
#include <utility>

namespace osa {

namespace {

bool IsCheckable(dlg::ControlClass c) {
    return c == dlg::ControlClass::AutoCheckBox || c == dlg::ControlClass::AutoRadioButton;
}

} // namespace

MemoryWindowHost::MemoryWindowHost(dlg::DialogTemplates templates)
    : templates_(templates), manager_(*this, *this), user_(std::make_unique<MemoryUser>(*this)) {}

MemoryWindowHost::~MemoryWindowHost() = default;

Window MemoryWindowHost::NewHandle() {
    Window w{nextHandle_};
    nextHandle_ += 4;
    return w;
}

// --- The test's side ---------------------------------------------------------

void MemoryWindowHost::Then(UserAction action) {
    user_->Then(std::move(action));
}

void MemoryWindowHost::ThenClick(int id) {
    Then([id](MemoryWindowHost& h) { (void)h.Click(id); });
}

void MemoryWindowHost::ThenAnswer(int answer) {
    Then([answer](MemoryWindowHost& h) { (void)h.Answer(answer); });
}

void MemoryWindowHost::ThenCloseBox() {
    Then([](MemoryWindowHost& h) { (void)h.CloseBox(); });
}

std::size_t MemoryWindowHost::PendingActions() const {
    return user_->Pending();
}

bool MemoryWindowHost::Click(int id) {
    Dialog* d = Holder(id);
    return d != nullptr && ClickIn(d->handle, id);
}

bool MemoryWindowHost::ClickIn(Window dialog, int id) {
    return user_->ClickIn(dialog, id);
}
bool MemoryWindowHost::Type(int id, std::string_view text) {
    return user_->Type(id, text);
}
bool MemoryWindowHost::SelectItem(int id, int index) {
    return user_->SelectItem(id, index);
}
bool MemoryWindowHost::ChooseFromList(int id, int index) {
    return user_->ChooseFromList(id, index);
}
bool MemoryWindowHost::Scroll(int id, int code, int position) {
    return user_->Scroll(id, code, position);
}
bool MemoryWindowHost::ScrollClick(int id, int code) {
    return user_->ScrollClick(id, code);
}
bool MemoryWindowHost::DragThumb(int id, const std::vector<int>& positions) {
    return user_->DragThumb(id, positions);
}
bool MemoryWindowHost::PressEnter() {
    return user_->PressEnter();
}
bool MemoryWindowHost::PressEscape() {
    return user_->PressEscape();
}
bool MemoryWindowHost::PressTab(bool backwards) {
    return user_->PressTab(backwards);
}
bool MemoryWindowHost::KeyDown(std::uintptr_t virtualKey) {
    return user_->Key(virtualKey, true, false);
}
bool MemoryWindowHost::KeyRepeat(std::uintptr_t virtualKey) {
    return user_->Key(virtualKey, true, true);
}
bool MemoryWindowHost::KeyUp(std::uintptr_t virtualKey) {
    return user_->Key(virtualKey, false, false);
}
bool MemoryWindowHost::PressF1() {
    return user_->PressF1();
}
bool MemoryWindowHost::CloseBox() {
    return user_->CloseBox();
}
bool MemoryWindowHost::RequestClose() {
    return user_->RequestClose();
}
bool MemoryWindowHost::Answer(int answer) {
    return user_->Answer(answer);
}
bool MemoryWindowHost::MouseDown(Window dialog, Point client) {
    return user_->Mouse(dialog, Msg::LButtonDown, client, mk::LButton);
}
bool MemoryWindowHost::MouseMove(Window dialog, Point client, unsigned keys) {
    return user_->Mouse(dialog, Msg::MouseMove, client, keys);
}
bool MemoryWindowHost::MouseUp(Window dialog, Point client) {
    return user_->Mouse(dialog, Msg::LButtonUp, client, 0);
}

Window MemoryWindowHost::Active() const {
    return modalStack_.empty() ? Window{} : modalStack_.back();
}

const MemoryWindowHost::Dialog* MemoryWindowHost::Find(Window dialog) const {
    return Lookup(dialog);
}

const MemoryWindowHost::Dialog* MemoryWindowHost::FindByTemplate(int templateId) const {
    const Dialog* found = nullptr;
    for (const auto& [value, d] : dialogs_)
        if (d.tmpl->id == templateId && (found == nullptr || value > found->handle.value))
            found = &d;
    return found;
}

const MemoryWindowHost::Control* MemoryWindowHost::FindControl(Window dialog, int id) const {
    const Dialog* d = Lookup(dialog);
    if (d == nullptr) return nullptr;
    for (const Control& c : d->controls)
        if (c.id == id) return &c;
    return nullptr;
}

std::optional<MemoryWindowHost::FontRecord> MemoryWindowHost::FontOf(Font font) const {
    auto it = fonts_.find(font.value);
    if (it == fonts_.end()) return std::nullopt;
    return it->second;
}

std::optional<Colour> MemoryWindowHost::BrushColour(Brush brush) const {
    auto it = brushes_.find(brush.value);
    if (it == brushes_.end()) return std::nullopt;
    return it->second;
}

MemoryWindowHost::Dialog* MemoryWindowHost::Holder(int id) {
    Dialog* active = Lookup(Active());
    if (active == nullptr) return nullptr;
    if (LookupControl(active->handle, id) != nullptr) return active;
    // A control of a child page of the active dialog.
    for (auto& [value, d] : dialogs_)
        if (!d.modal && d.owner == active->handle && LookupControl(d.handle, id) != nullptr)
            return &d;
    return nullptr;
}

bool MemoryWindowHost::UserCanReach(const Control& control) const {
    return control.enabled && control.visible;
}

void MemoryWindowHost::Activate(Window dialog, bool active) {
    Dialog* d = Lookup(dialog);
    if (d == nullptr || d->ended) return;
    DialogMessage m;
    m.msg = Msg::Activate;
    m.code = active ? 1 : 0;
    (void)manager_.Send(dialog, m);
}

std::vector<MemoryWindowHost::IconDrawn> MemoryWindowHost::Paint(Window window) {
    Dialog* d = Lookup(window);
    if (d == nullptr || d->ended) return {};
    d->drawn.clear();
    d->invalidated.clear();
    painting_ = window;
    DialogMessage m;
    m.msg = Msg::Paint;
    (void)manager_.Send(window, m);
    painting_ = Window{};
    d = Lookup(window);
    return d ? d->drawn : std::vector<IconDrawn>{};
}

MemoryWindowHost::Colours MemoryWindowHost::ColoursOf(Window dialog, int id) {
    Colours out;
    Dialog* d = Lookup(dialog);
    if (d == nullptr) return out;
    StaticColours answer;
    DialogMessage m;
    m.msg = Msg::CtlColorStatic;
    m.id = id;
    m.colours = &answer;
    std::intptr_t brush = manager_.Send(dialog, m);
    out.transparent = answer.transparent;
    out.text = answer.text;
    out.hollow = answer.hollow;
    if (brush != 0) out.background = BrushColour(Brush{static_cast<std::uintptr_t>(brush)});
    return out;
}

// --- Dialogs -----------------------------------------------------------------

MemoryWindowHost::Dialog* MemoryWindowHost::Lookup(Window dialog) {
    auto it = dialogs_.find(dialog.value);
    return it == dialogs_.end() ? nullptr : &it->second;
}

const MemoryWindowHost::Dialog* MemoryWindowHost::Lookup(Window dialog) const {
    auto it = dialogs_.find(dialog.value);
    return it == dialogs_.end() ? nullptr : &it->second;
}

MemoryWindowHost::Control* MemoryWindowHost::LookupControl(Window dialog, int id) {
    Dialog* d = Lookup(dialog);
    if (d == nullptr || id == dlg::NoId) return nullptr;
    for (Control& c : d->controls)
        if (c.id == id) return &c;
    return nullptr;
}

MemoryWindowHost::Dialog* MemoryWindowHost::Build(int templateId, Window owner, DialogProc proc,
                                                  bool modal) {
    const dlg::DialogTemplate* t = templates_.Find(templateId);
    if (t == nullptr || proc == nullptr) return nullptr;
    Dialog d;
    d.handle = NewHandle();
    d.tmpl = t;
    d.proc = proc;
    d.owner = owner;
    d.modal = modal;
    d.caption = std::string(t->caption);
    Rect size = MapDialogRect(Window{}, Rect{0, 0, t->rect.cx, t->rect.cy});
    if ((t->style & dlg::DsChild) != 0) {
        Rect parent = GetWindowRect(owner);
        Rect at = MapDialogRect(Window{}, Rect{t->rect.x, t->rect.y, 0, 0});
        d.rect = Rect{parent.left + at.left, parent.top + at.top,
                      parent.left + at.left + size.right, parent.top + at.top + size.bottom};
    } else {
        int x = (Screen.Width() - size.right) / 2;
        int y = (Screen.Height() - size.bottom) / 2;
        d.rect = Rect{x, y, x + size.right, y + size.bottom};
    }
    for (const dlg::ControlTemplate& ct : t->controls) {
        Control c;
        c.id = ct.id;
        c.handle = NewHandle();
        c.tmpl = &ct;
        c.text = std::string(ct.text);
        c.visible = (ct.style & dlg::CsHidden) == 0;
        c.enabled = (ct.style & dlg::CsDisabled) == 0;
        d.controls.push_back(std::move(c));
    }
    dialogsShown_.push_back(templateId);
    auto [it, inserted] = dialogs_.emplace(d.handle.value, std::move(d));
    return &it->second;
}

// --- DialogSite ----------------------------------------------------------------

std::intptr_t MemoryWindowHost::CallProcedure(Window dialog, const DialogMessage& message) {
    Dialog* d = Lookup(dialog);
    return d != nullptr && d->proc != nullptr ? d->proc(dialog, message) : 0;
}

const dlg::DialogTemplate* MemoryWindowHost::TemplateOf(Window dialog) {
    Dialog* d = Lookup(dialog);
    return d != nullptr ? d->tmpl : nullptr;
}

Window MemoryWindowHost::ParentOf(Window dialog) {
    Dialog* d = Lookup(dialog);
    // A modeless dialog with a parent is one of its pages.
    return d != nullptr && !d->modal && Lookup(d->owner) != nullptr ? d->owner : Window{};
}

std::vector<Window> MemoryWindowHost::PagesOf(Window dialog) {
    std::vector<Window> pages;
    for (const auto& [value, d] : dialogs_)
        if (!d.modal && d.owner == dialog) pages.push_back(d.handle);
    return pages; // handles grow, so this is creation order
}

DialogItem MemoryWindowHost::FocusIn(Window dialog) {
    Dialog* top = TopLevel(dialog);
    return top != nullptr ? top->focus : DialogItem{};
}

bool MemoryWindowHost::CloseCommandRemoved(Window dialog) {
    Dialog* d = Lookup(dialog);
    return d != nullptr && d->closeCommandRemoved;
}

MemoryWindowHost::Dialog* MemoryWindowHost::TopLevel(Window dialog) {
    Dialog* d = Lookup(dialog);
    for (Window parent = ParentOf(dialog); d != nullptr && parent; parent = ParentOf(parent))
        d = Lookup(parent);
    return d;
}

void MemoryWindowHost::MoveFocus(Window dialog, int id) {
    Dialog* top = TopLevel(dialog);
    if (top == nullptr || LookupControl(dialog, id) == nullptr) return;
    const DialogItem from = top->focus;
    const DialogItem to{dialog, id};
    top->focus = to;
    manager_.FocusMoved(from, to);
}

std::intptr_t MemoryWindowHost::DialogBox(int templateId, Window owner, DialogProc proc,
                                          std::intptr_t param) {
    Dialog* d = Build(templateId, owner, proc, true);
    if (d == nullptr) return -1;
    Window w = d->handle;
    modalStack_.push_back(w);
    DialogMessage init;
    init.msg = Msg::InitDialog;
    init.param = param;
    (void)manager_.Send(w, init);
    RunModalLoop(w);
    const Dialog* ended = Lookup(w);
    std::intptr_t result = ended != nullptr ? ended->result : -1;
    modalStack_.erase(std::remove(modalStack_.begin(), modalStack_.end(), w), modalStack_.end());
    Destroy(w);
    return result;
}

void MemoryWindowHost::RunModalLoop(Window dialog) {
    while (true) {
        Dialog* d = Lookup(dialog);
        if (d == nullptr || d->ended) return;
        if (!user_->RunNext()) {
            ++starved_;
            d->ended = true;
            d->result = -1;
            manager_.MarkEnded(dialog);
            return;
        }
    }
}

Window MemoryWindowHost::CreateDialog(int templateId, Window parent, DialogProc proc,
                                      std::intptr_t param) {
    Dialog* d = Build(templateId, parent, proc, false);
    if (d == nullptr) return Window{};
    Window w = d->handle;
    DialogMessage init;
    init.msg = Msg::InitDialog;
    init.param = param;
    (void)manager_.Send(w, init);
    return Lookup(w) ? w : Window{};
}

void MemoryWindowHost::EndDialog(Window dialog, std::intptr_t result) {
    Dialog* d = Lookup(dialog);
    if (d == nullptr || d->ended) return;
    manager_.MarkEnded(dialog);
    if (d->modal) {
        d->ended = true;
        d->result = result;
    } else {
        Destroy(dialog);
    }
}

void MemoryWindowHost::Destroy(Window dialog) {
    Dialog* d = Lookup(dialog);
    if (d == nullptr) return;
    d->ended = true;
    manager_.Destroying(dialog);
    // Child pages go with their parent.
    std::vector<Window> children;
    for (auto& [value, child] : dialogs_)
        if (!child.modal && child.owner == dialog) children.push_back(child.handle);
    for (Window c : children)
        Destroy(c);
    manager_.Forget(dialog);
    dialogs_.erase(dialog.value);
}

Window MemoryWindowHost::GetItem(Window dialog, int id) {
    Control* c = LookupControl(dialog, id);
    return c ? c->handle : Window{};
}

int MemoryWindowHost::MessageBox(Window owner, std::string_view text, std::string_view caption,
                                 unsigned style) {
    boxes_.push_back(MessageBoxShown{owner, std::string(text), std::string(caption), style, 0});
    std::size_t index = boxes_.size() - 1;
    std::optional<std::size_t> outer = openBox_;
    openBox_ = index;
    Window box = NewHandle();
    modalStack_.push_back(box);
    while (boxes_[index].answer == 0) {
        if (!user_->RunNext()) {
            boxes_[index].answer = mb::IdOk; // the default button
            break;
        }
    }
    modalStack_.erase(std::remove(modalStack_.begin(), modalStack_.end(), box), modalStack_.end());
    openBox_ = outer;
    return boxes_[index].answer;
}

// --- Texts, states, values ---------------------------------------------------

void MemoryWindowHost::SetCaption(Window window, std::string_view text) {
    if (Dialog* d = Lookup(window)) d->caption = std::string(text);
}

std::string MemoryWindowHost::GetCaption(Window window) {
    Dialog* d = Lookup(window);
    return d ? d->caption : std::string{};
}

void MemoryWindowHost::SetWindowIcon(Window window, int iconId) {
    if (Dialog* d = Lookup(window)) d->icon = iconId;
}

void MemoryWindowHost::SetItemText(Window dialog, int id, std::string_view text) {
    Control* c = LookupControl(dialog, id);
    if (c == nullptr) return;
    c->text = std::string(text);
    if (c->tmpl->cls == dlg::ControlClass::Edit) manager_.Command(dialog, id, notify::EditChange);
}

std::string MemoryWindowHost::GetItemText(Window dialog, int id) {
    Control* c = LookupControl(dialog, id);
    if (c == nullptr) return {};
    if (c->tmpl->cls == dlg::ControlClass::DropDownList)
        return c->selection >= 0 ? c->items[static_cast<std::size_t>(c->selection)] : std::string{};
    return c->text;
}

void MemoryWindowHost::EnableItem(Window dialog, int id, bool enable) {
    if (Control* c = LookupControl(dialog, id)) c->enabled = enable;
}

bool MemoryWindowHost::IsItemEnabled(Window dialog, int id) {
    Control* c = LookupControl(dialog, id);
    return c != nullptr && c->enabled;
}

void MemoryWindowHost::ShowItem(Window dialog, int id, bool show) {
    if (Control* c = LookupControl(dialog, id)) c->visible = show;
}

bool MemoryWindowHost::IsItemVisible(Window dialog, int id) {
    Control* c = LookupControl(dialog, id);
    return c != nullptr && c->visible;
}

void MemoryWindowHost::CheckItem(Window dialog, int id, bool checked) {
    Control* c = LookupControl(dialog, id);
    if (c != nullptr && IsCheckable(c->tmpl->cls)) c->checked = checked;
}

bool MemoryWindowHost::IsItemChecked(Window dialog, int id) {
    Control* c = LookupControl(dialog, id);
    return c != nullptr && c->checked;
}

void MemoryWindowHost::SetScrollRange(Window dialog, int id, int min, int max, bool) {
    Control* c = LookupControl(dialog, id);
    if (c == nullptr) return;
    c->scrollMin = min;
    c->scrollMax = max;
    c->scrollPos = std::clamp(c->scrollPos, min, std::max(min, max));
}

void MemoryWindowHost::SetScrollPos(Window dialog, int id, int pos, bool) {
    Control* c = LookupControl(dialog, id);
    if (c == nullptr) return;
    c->scrollPos = std::clamp(pos, c->scrollMin, std::max(c->scrollMin, c->scrollMax));
}

int MemoryWindowHost::GetScrollPos(Window dialog, int id) {
    Control* c = LookupControl(dialog, id);
    return c ? c->scrollPos : 0;
}

void MemoryWindowHost::ComboReset(Window dialog, int id) {
    if (Control* c = LookupControl(dialog, id)) {
        c->items.clear();
        c->selection = -1;
    }
}

int MemoryWindowHost::ComboAdd(Window dialog, int id, std::string_view text) {
    Control* c = LookupControl(dialog, id);
    if (c == nullptr || c->tmpl->cls != dlg::ControlClass::DropDownList) return -1;
    c->items.emplace_back(text);
    return static_cast<int>(c->items.size()) - 1;
}

void MemoryWindowHost::ComboSetSelection(Window dialog, int id, int index) {
    Control* c = LookupControl(dialog, id);
    if (c == nullptr) return;
    c->selection = (index >= 0 && index < static_cast<int>(c->items.size())) ? index : -1;
}

int MemoryWindowHost::ComboGetSelection(Window dialog, int id) {
    Control* c = LookupControl(dialog, id);
    return c ? c->selection : -1;
}

int MemoryWindowHost::ComboCount(Window dialog, int id) {
    Control* c = LookupControl(dialog, id);
    return c ? static_cast<int>(c->items.size()) : 0;
}

void MemoryWindowHost::EditSetSelection(Window dialog, int id, int start, int end) {
    Control* c = LookupControl(dialog, id);
    if (c == nullptr) return;
    int length = static_cast<int>(c->text.size());
    if (end < 0 || end > length) end = length;
    start = std::clamp(start, 0, end);
    c->selStart = start;
    c->selEnd = end;
}

void MemoryWindowHost::EditLimitText(Window dialog, int id, int maxChars) {
    if (Control* c = LookupControl(dialog, id)) c->textLimit = maxChars;
}

void MemoryWindowHost::SetFocusItem(Window dialog, int id) {
    MoveFocus(dialog, id);
}

int MemoryWindowHost::GetFocusItem(Window dialog) {
    const DialogItem focus = FocusIn(dialog);
    // A control of this dialog or of one of its pages.
    for (Window d = focus.dialog; d; d = ParentOf(d))
        if (d == dialog) return focus.id;
    return 0;
}

// --- Drawing -----------------------------------------------------------------

Brush MemoryWindowHost::CreateSolidBrush(Colour colour) {
    Brush b{NewHandle().value};
    brushes_[b.value] = colour;
    return b;
}

void MemoryWindowHost::DeleteBrush(Brush brush) {
    brushes_.erase(brush.value);
}

Font MemoryWindowHost::CreateGuiFont(int pixelHeight, int weight) {
    Font f{NewHandle().value};
    fonts_[f.value] = FontRecord{pixelHeight == 0 ? 11 : pixelHeight, weight == 0 ? 400 : weight};
    return f;
}

Extent MemoryWindowHost::TextExtent(Font font, std::string_view text) {
    // A model of a proportional font: every character as wide as half the
    // height, a tenth more in bold.
    auto it = fonts_.find(font.value);
    const FontRecord f = it != fonts_.end() ? it->second : FontRecord{11, 400};
    int characters = 0;
    for (char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++characters;
    const int tenths = f.weight >= 700 ? 55 : 50;
    return Extent{characters * f.pixelHeight * tenths / 100, f.pixelHeight};
}

void MemoryWindowHost::DeleteFont(Font font) {
    fonts_.erase(font.value);
}

void MemoryWindowHost::SetItemFont(Window dialog, int id, Font font) {
    if (Control* c = LookupControl(dialog, id)) c->font = font;
}

void MemoryWindowHost::UpdateWindow(Window window) {
    if (Lookup(window) != nullptr) updated_.push_back(window);
}

void MemoryWindowHost::InvalidateRect(Window window, std::optional<Rect> rect, bool) {
    if (Dialog* d = Lookup(window)) d->invalidated.push_back(rect);
}

void MemoryWindowHost::DrawIcon(Window window, int iconId, Point at) {
    if (window != painting_) return; // only while handling Paint
    if (Dialog* d = Lookup(window)) d->drawn.push_back(IconDrawn{iconId, at});
}

void MemoryWindowHost::SetHotSpots(Window window, std::span<const HotSpot> spots) {
    std::vector<HeldHotSpot> held;
    for (const HotSpot& s : spots)
        held.push_back(HeldHotSpot{std::string(s.name), s.rect, s.enabled, s.pressed});
    // Windows that have gone are forgotten here.
    std::erase_if(hotSpots_, [this](const auto& entry) { return Lookup(entry.first) == nullptr; });
    for (auto& [w, list] : hotSpots_)
        if (w == window) {
            list = std::move(held);
            return;
        }
    hotSpots_.emplace_back(window, std::move(held));
}

std::vector<MemoryWindowHost::HeldHotSpot> MemoryWindowHost::HotSpots(Window window) const {
    for (const auto& [w, list] : hotSpots_)
        if (w == window) return list;
    return {};
}

// --- Geometry ----------------------------------------------------------------

Rect MemoryWindowHost::GetWindowRect(Window window) {
    if (Dialog* d = Lookup(window)) return d->rect;
    for (auto& [value, d] : dialogs_)
        for (Control& c : d.controls)
            if (c.handle == window) return GetItemRect(d.handle, c.id);
    return Rect{};
}

Rect MemoryWindowHost::GetItemRect(Window dialog, int id) {
    Dialog* d = Lookup(dialog);
    Control* c = LookupControl(dialog, id);
    if (d == nullptr || c == nullptr) return Rect{};
    const dlg::DluRect& r = c->tmpl->rect;
    Rect px = MapDialogRect(dialog, Rect{r.x, r.y, r.x + r.cx, r.y + r.cy});
    return Rect{d->rect.left + px.left, d->rect.top + px.top, d->rect.left + px.right,
                d->rect.top + px.bottom};
}

Rect MemoryWindowHost::GetClientRect(Window window) {
    Rect r = GetWindowRect(window);
    return Rect{0, 0, r.Width(), r.Height()};
}

Point MemoryWindowHost::ScreenToClient(Window window, Point screen) {
    Rect r = GetWindowRect(window);
    return Point{screen.x - r.left, screen.y - r.top};
}

void MemoryWindowHost::MoveWindow(Window window, Rect screenRect, bool) {
    if (Dialog* d = Lookup(window)) d->rect = screenRect;
}

Rect MemoryWindowHost::MapDialogRect(Window, Rect dialogUnits) {
    auto mapX = [](int v) { return v * BaseUnitX / 4; };
    auto mapY = [](int v) { return v * BaseUnitY / 8; };
    return Rect{mapX(dialogUnits.left), mapY(dialogUnits.top), mapX(dialogUnits.right),
                mapY(dialogUnits.bottom)};
}

void MemoryWindowHost::SetCapture(Window window) {
    if (Lookup(window) != nullptr) manager_.SetCapture(window);
}

void MemoryWindowHost::RemoveCloseCommand(Window window) {
    if (Dialog* d = Lookup(window)) d->closeCommandRemoved = true;
}

} // namespace osa
