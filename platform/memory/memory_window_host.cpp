// In-memory window host. It follows the Win32 dialog manager where the
// controller relies on it:
//   - auto check boxes toggle and auto radio buttons select within their group
//     before the Command notification is sent;
//   - Enter sends Command with the default push button's id (IDOK when there
//     is none), Esc sends Command IDCANCEL;
//   - the close button sends SysCommand(SC_CLOSE); when the procedure leaves
//     it unhandled, Close follows, and when that is unhandled too, Command
//     IDCANCEL, as the default dialog procedure does;
//   - SetItemText on an edit sends EN_CHANGE; a user's choice in a drop-down
//     list sends CBN_SELENDOK then CBN_SELCHANGE, programmatic selection
//     sends nothing;
//   - scroll bars do not move by themselves: the procedure sets the position.
#include "platform/memory/memory_window_host.h"

#include <algorithm>
#include <utility>

namespace osa {

namespace {

bool IsCheckable(res::ControlClass c) {
    return c == res::ControlClass::AutoCheckBox || c == res::ControlClass::AutoRadioButton;
}

} // namespace

MemoryWindowHost::MemoryWindowHost() = default;
MemoryWindowHost::~MemoryWindowHost() = default;

Window MemoryWindowHost::NewHandle() {
    Window w{nextHandle_};
    nextHandle_ += 4;
    return w;
}

// --- The test's side ---------------------------------------------------------

void MemoryWindowHost::Then(UserAction action) {
    script_.push_back(std::move(action));
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

bool MemoryWindowHost::Click(int id) {
    Dialog* d = Holder(id);
    return d != nullptr && ClickIn(d->handle, id);
}

bool MemoryWindowHost::ClickIn(Window dialog, int id) {
    Dialog* d = Lookup(dialog);
    Control* c = LookupControl(dialog, id);
    if (d == nullptr || d->ended || c == nullptr || !UserCanReach(*c)) return false;
    using enum res::ControlClass;
    switch (c->tmpl->cls) {
    case AutoCheckBox:
        c->checked = !c->checked;
        break;
    case AutoRadioButton: {
        // The group runs from the last control with the group flag at or
        // before this one to the next control with the group flag.
        auto self = static_cast<std::size_t>(c - d->controls.data());
        std::size_t first = self;
        while (first > 0 && (d->controls[first].tmpl->style & res::CsGroup) == 0)
            --first;
        std::size_t last = self + 1;
        while (last < d->controls.size() && (d->controls[last].tmpl->style & res::CsGroup) == 0)
            ++last;
        for (std::size_t i = first; i < last; ++i)
            if (d->controls[i].tmpl->cls == AutoRadioButton) d->controls[i].checked = false;
        c->checked = true;
        break;
    }
    case PushButton:
    case DefPushButton:
        break;
    default:
        return false; // statics, edits and lists are not clicked
    }
    d->focus = id;
    SendCommand(*d, id, notify::ButtonClicked);
    return true;
}

bool MemoryWindowHost::Type(int id, std::string_view text) {
    Dialog* d = Holder(id);
    Control* c = d ? LookupControl(d->handle, id) : nullptr;
    if (c == nullptr || c->tmpl->cls != res::ControlClass::Edit || !UserCanReach(*c)) return false;
    d->focus = id;
    std::string t(text);
    if (c->textLimit > 0 && static_cast<int>(t.size()) > c->textLimit)
        t.resize(static_cast<std::size_t>(c->textLimit));
    c->text = t;
    SendCommand(*d, id, notify::EditChange);
    return true;
}

bool MemoryWindowHost::SelectItem(int id, int index) {
    Dialog* d = Holder(id);
    Control* c = d ? LookupControl(d->handle, id) : nullptr;
    if (c == nullptr || c->tmpl->cls != res::ControlClass::DropDownList || !UserCanReach(*c) ||
        index < 0 || index >= static_cast<int>(c->items.size()))
        return false;
    // A choice made on the closed box, as the Win32 and Qt hosts report it.
    d->focus = id;
    c->selection = index;
    Window w = d->handle;
    SendCommand(*d, id, notify::ComboSelEndOk);
    if (Dialog* still = Lookup(w); still != nullptr && !still->ended)
        SendCommand(*still, id, notify::ComboSelChange);
    return true;
}

bool MemoryWindowHost::Scroll(int id, int code, int position) {
    Dialog* d = Holder(id);
    Control* c = d ? LookupControl(d->handle, id) : nullptr;
    if (c == nullptr || !UserCanReach(*c)) return false;
    DialogMessage m;
    if (c->tmpl->cls == res::ControlClass::HScrollBar)
        m.msg = Msg::HScroll;
    else if (c->tmpl->cls == res::ControlClass::VScrollBar)
        m.msg = Msg::VScroll;
    else
        return false;
    m.id = id;
    m.code = code;
    m.position = position;
    (void)Send(*d, m);
    return true;
}

bool MemoryWindowHost::PressEnter() {
    Dialog* d = Lookup(Active());
    if (d == nullptr) {
        return openBox_.has_value() && Answer(mb::IdOk);
    }
    int id = 1;
    // A focused push button takes Enter; otherwise the default button does.
    const Control* focused = FindControl(d->handle, d->focus);
    if (focused != nullptr && (focused->tmpl->cls == res::ControlClass::PushButton ||
                               focused->tmpl->cls == res::ControlClass::DefPushButton)) {
        id = focused->id;
    } else {
        for (const Control& c : d->controls)
            if (c.tmpl->cls == res::ControlClass::DefPushButton) id = c.id;
    }
    SendCommand(*d, id, notify::ButtonClicked);
    return true;
}

bool MemoryWindowHost::PressEscape() {
    Dialog* d = Lookup(Active());
    if (d == nullptr) return openBox_.has_value() && Answer(mb::IdCancel);
    SendCommand(*d, 2, notify::ButtonClicked);
    return true;
}

bool MemoryWindowHost::RequestClose() {
    Dialog* d = Lookup(Active());
    if (d == nullptr) return false;
    DialogMessage m;
    m.msg = Msg::Close;
    Send(*d, m);
    return true;
}

bool MemoryWindowHost::CloseBox() {
    Dialog* d = Lookup(Active());
    if (d == nullptr) {
        if (!openBox_) return false;
        // A message box's close button answers Cancel when it has one.
        bool hasCancel = (boxes_[*openBox_].style & 0xF) == mb::OkCancel;
        return Answer(hasCancel ? mb::IdCancel : mb::IdOk);
    }
    if (d->closeCommandRemoved || (d->tmpl->style & res::DsSysMenu) == 0) return false;
    Window w = d->handle;
    DialogMessage m;
    m.msg = Msg::SysCommand;
    m.code = sc::Close;
    if (Send(*d, m) != 0) return true;
    d = Lookup(w);
    if (d == nullptr || d->ended) return true;
    m = DialogMessage{};
    m.msg = Msg::Close;
    if (Send(*d, m) != 0) return true;
    d = Lookup(w);
    if (d == nullptr || d->ended) return true;
    SendCommand(*d, 2, notify::ButtonClicked);
    return true;
}

bool MemoryWindowHost::Answer(int answer) {
    if (!openBox_ || Lookup(Active()) != nullptr) return false;
    boxes_[*openBox_].answer = answer;
    return true;
}

void MemoryWindowHost::Activate(Window dialog, bool active) {
    Dialog* d = Lookup(dialog);
    if (d == nullptr || d->ended) return;
    DialogMessage m;
    m.msg = Msg::Activate;
    m.code = active ? 1 : 0;
    (void)Send(*d, m);
}

std::vector<MemoryWindowHost::IconDrawn> MemoryWindowHost::Paint(Window window) {
    Dialog* d = Lookup(window);
    if (d == nullptr || d->ended) return {};
    d->drawn.clear();
    d->invalidated.clear();
    painting_ = window;
    DialogMessage m;
    m.msg = Msg::Paint;
    (void)Send(*d, m);
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
    std::intptr_t brush = Send(*d, m);
    out.transparent = answer.transparent;
    out.text = answer.text;
    if (brush != 0) out.background = BrushColour(Brush{static_cast<std::uintptr_t>(brush)});
    return out;
}

bool MemoryWindowHost::MouseDown(Window dialog, Point client) {
    Dialog* d = Lookup(dialog);
    if (d == nullptr || d->ended) return false;
    DialogMessage m;
    m.msg = Msg::LButtonDown;
    m.point = client;
    m.keys = mk::LButton;
    (void)Send(*d, m);
    return true;
}

bool MemoryWindowHost::MouseMove(Window dialog, Point client, unsigned keys) {
    Dialog* d = Lookup(dialog);
    if (d == nullptr || d->ended) return false;
    DialogMessage m;
    m.msg = Msg::MouseMove;
    m.point = client;
    m.keys = keys;
    (void)Send(*d, m);
    return true;
}

bool MemoryWindowHost::MouseUp(Window dialog, Point client) {
    Dialog* d = Lookup(dialog);
    if (d == nullptr || d->ended) return false;
    DialogMessage m;
    m.msg = Msg::LButtonUp;
    m.point = client;
    (void)Send(*d, m);
    return true;
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
    if (d == nullptr || id == res::NoId) return nullptr;
    for (Control& c : d->controls)
        if (c.id == id) return &c;
    return nullptr;
}

MemoryWindowHost::Dialog* MemoryWindowHost::Build(int templateId, Window owner, DialogProc proc,
                                                  bool modal) {
    const res::DialogTemplate* t = res::FindDialogTemplate(templateId);
    if (t == nullptr || proc == nullptr) return nullptr;
    Dialog d;
    d.handle = NewHandle();
    d.tmpl = t;
    d.proc = proc;
    d.owner = owner;
    d.modal = modal;
    d.caption = std::string(t->caption);
    Rect size = MapDialogRect(Window{}, Rect{0, 0, t->rect.cx, t->rect.cy});
    if ((t->style & res::DsChild) != 0) {
        Rect parent = GetWindowRect(owner);
        Rect at = MapDialogRect(Window{}, Rect{t->rect.x, t->rect.y, 0, 0});
        d.rect = Rect{parent.left + at.left, parent.top + at.top,
                      parent.left + at.left + size.right, parent.top + at.top + size.bottom};
    } else {
        int x = (Screen.Width() - size.right) / 2;
        int y = (Screen.Height() - size.bottom) / 2;
        d.rect = Rect{x, y, x + size.right, y + size.bottom};
    }
    for (const res::ControlTemplate& ct : t->controls) {
        Control c;
        c.id = ct.id;
        c.handle = NewHandle();
        c.tmpl = &ct;
        c.text = std::string(ct.text);
        c.visible = (ct.style & res::CsHidden) == 0;
        c.enabled = (ct.style & res::CsDisabled) == 0;
        d.controls.push_back(std::move(c));
    }
    dialogsShown_.push_back(templateId);
    auto [it, inserted] = dialogs_.emplace(d.handle.value, std::move(d));
    return &it->second;
}

std::intptr_t MemoryWindowHost::Send(Dialog& dialog, DialogMessage message) {
    if (dialog.proc == nullptr) return 0;
    return dialog.proc(dialog.handle, message);
}

void MemoryWindowHost::SendCommand(Dialog& dialog, int id, int code) {
    DialogMessage m;
    m.msg = Msg::Command;
    m.id = id;
    m.code = code;
    (void)Send(dialog, m);
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
    (void)Send(*d, init);
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
        if (script_.empty()) {
            ++starved_;
            d->ended = true;
            d->result = -1;
            return;
        }
        UserAction next = std::move(script_.front());
        script_.pop_front();
        next(*this);
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
    (void)Send(*d, init);
    return Lookup(w) ? w : Window{};
}

void MemoryWindowHost::EndDialog(Window dialog, std::intptr_t result) {
    Dialog* d = Lookup(dialog);
    if (d == nullptr) return;
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
    DialogMessage m;
    m.msg = Msg::Destroy;
    (void)Send(*d, m);
    // Child pages go with their parent.
    std::vector<Window> children;
    for (auto& [value, child] : dialogs_)
        if (!child.modal && child.owner == dialog) children.push_back(child.handle);
    for (Window c : children)
        Destroy(c);
    if (capture_ == dialog) capture_ = Window{};
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
        if (script_.empty()) {
            boxes_[index].answer = mb::IdOk; // the default button
            break;
        }
        UserAction next = std::move(script_.front());
        script_.pop_front();
        next(*this);
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
    Dialog* d = Lookup(dialog);
    if (d != nullptr && c->tmpl->cls == res::ControlClass::Edit)
        SendCommand(*d, id, notify::EditChange);
}

std::string MemoryWindowHost::GetItemText(Window dialog, int id) {
    Control* c = LookupControl(dialog, id);
    if (c == nullptr) return {};
    if (c->tmpl->cls == res::ControlClass::DropDownList)
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
    if (c == nullptr || c->tmpl->cls != res::ControlClass::DropDownList) return -1;
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
    if (Dialog* d = Lookup(dialog); d != nullptr && LookupControl(dialog, id) != nullptr)
        d->focus = id;
}

int MemoryWindowHost::GetFocusItem(Window dialog) {
    Dialog* d = Lookup(dialog);
    return d ? d->focus : 0;
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

void MemoryWindowHost::DeleteFont(Font font) {
    fonts_.erase(font.value);
}

void MemoryWindowHost::SetItemFont(Window dialog, int id, Font font) {
    if (Control* c = LookupControl(dialog, id)) c->font = font;
}

void MemoryWindowHost::InvalidateRect(Window window, std::optional<Rect> rect, bool) {
    if (Dialog* d = Lookup(window)) d->invalidated.push_back(rect);
}

void MemoryWindowHost::DrawIcon(Window window, int iconId, Point at) {
    if (window != painting_) return; // only while handling Paint
    if (Dialog* d = Lookup(window)) d->drawn.push_back(IconDrawn{iconId, at});
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
    const res::DluRect& r = c->tmpl->rect;
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

void MemoryWindowHost::RemoveCloseCommand(Window window) {
    if (Dialog* d = Lookup(window)) d->closeCommandRemoved = true;
}

} // namespace osa
