#include "platform/dialog_manager.h"

#include <algorithm>

#include "platform/input_hooks.h"

namespace osa {

using dlg::ControlClass;

namespace {

bool IsTabStopClass(ControlClass c) {
    switch (c) {
    case ControlClass::PushButton:
    case ControlClass::DefPushButton:
    case ControlClass::AutoCheckBox:
    case ControlClass::AutoRadioButton:
    case ControlClass::Edit:
    case ControlClass::DropDownList:
    case ControlClass::HScrollBar:
    case ControlClass::VScrollBar:
        return true;
    default:
        return false;
    }
}

} // namespace

DialogManager::DialogManager(DialogSite& site, WindowHost& host) : site_(site), host_(host) {}

// --- Life of a dialog ----------------------------------------------------------

std::intptr_t DialogManager::Send(Window dialog, const DialogMessage& message) {
    if (!dialog || (Ended(dialog) && message.msg != Msg::Destroy)) return 0;
    if (site_.TemplateOf(dialog) == nullptr) return 0;
    return site_.CallProcedure(dialog, message);
}

void DialogManager::Command(Window dialog, int id, int code) {
    DialogMessage m;
    m.msg = Msg::Command;
    m.id = id;
    m.code = code;
    (void)Send(dialog, m);
}

void DialogManager::MarkEnded(Window dialog) {
    if (dialog) ended_.insert(dialog.value);
}

bool DialogManager::Ended(Window dialog) const {
    return ended_.contains(dialog.value);
}

void DialogManager::Destroying(Window dialog) {
    // A window destroyed with the capture loses it without being told, as
    // on Windows.
    if (capture_ == dialog) capture_ = Window{};
    MarkEnded(dialog);
    DialogMessage m;
    m.msg = Msg::Destroy;
    (void)Send(dialog, m);
}

void DialogManager::Forget(Window dialog) {
    ended_.erase(dialog.value);
    std::erase_if(stepPending_, [dialog](const auto& bar) { return bar.first == dialog.value; });
    if (capture_ == dialog) capture_ = Window{};
}

// --- Buttons and keys ------------------------------------------------------------

const dlg::ControlTemplate* DialogManager::ControlOf(DialogItem item) {
    const dlg::DialogTemplate* t = site_.TemplateOf(item.dialog);
    return t != nullptr ? dlg::FindControl(*t, item.id) : nullptr;
}

void DialogManager::CheckRadioGroup(Window dialog, int id) {
    const dlg::DialogTemplate* t = site_.TemplateOf(dialog);
    if (t == nullptr) return;
    const auto& controls = t->controls;
    auto self = static_cast<std::size_t>(
        std::find_if(controls.begin(), controls.end(),
                     [id](const dlg::ControlTemplate& c) { return c.id == id; }) -
        controls.begin());
    if (self >= controls.size()) return;
    std::size_t first = self;
    while (first > 0 && (controls[first].style & dlg::CsGroup) == 0)
        --first;
    std::size_t last = self + 1;
    while (last < controls.size() && (controls[last].style & dlg::CsGroup) == 0)
        ++last;
    for (std::size_t i = first; i < last; ++i)
        if (controls[i].cls == ControlClass::AutoRadioButton && controls[i].id != dlg::NoId)
            host_.CheckItem(dialog, controls[i].id, i == self);
}

bool DialogManager::GroupArrow(DialogItem focus, bool backwards) {
    if (!focus || Ended(focus.dialog)) return false;
    const dlg::DialogTemplate* t = site_.TemplateOf(focus.dialog);
    const dlg::ControlTemplate* c = ControlOf(focus);
    if (t == nullptr || c == nullptr) return false;
    switch (c->cls) {
    case ControlClass::PushButton:
    case ControlClass::DefPushButton:
    case ControlClass::AutoCheckBox:
    case ControlClass::AutoRadioButton:
        break;
    default:
        return false; // edits, lists and bars take the arrows themselves
    }
    // The group: from the last control with the group flag at or before the
    // focused one to the one before the next with the flag.
    const auto& controls = t->controls;
    const auto self = static_cast<std::size_t>(c - controls.data());
    std::size_t first = self;
    while (first > 0 && (controls[first].style & dlg::CsGroup) == 0)
        --first;
    std::size_t end = self + 1;
    while (end < controls.size() && (controls[end].style & dlg::CsGroup) == 0)
        ++end;
    const std::size_t n = end - first;
    for (std::size_t step = 1; step < n; ++step) {
        const std::size_t i =
            first + (backwards ? (self - first + n - step) % n : (self - first + step) % n);
        const dlg::ControlTemplate& next = controls[i];
        if (next.id == dlg::NoId || !IsTabStopClass(next.cls) ||
            !host_.IsItemEnabled(focus.dialog, next.id) ||
            !host_.IsItemVisible(focus.dialog, next.id))
            continue;
        host_.SetFocusItem(focus.dialog, next.id);
        if (next.cls == ControlClass::AutoRadioButton &&
            !host_.IsItemChecked(focus.dialog, next.id))
            ButtonClicked(focus.dialog, next.id);
        return true;
    }
    return true; // the only control of its group: the key is used up
}

void DialogManager::ButtonClicked(Window dialog, int id) {
    if (Ended(dialog)) return;
    const dlg::ControlTemplate* c = ControlOf(DialogItem{dialog, id});
    if (c == nullptr) return;
    if (c->cls == ControlClass::AutoCheckBox)
        host_.CheckItem(dialog, id, !host_.IsItemChecked(dialog, id));
    else if (c->cls == ControlClass::AutoRadioButton)
        CheckRadioGroup(dialog, id);
    Command(dialog, id, notify::ButtonClicked);
}

Window DialogManager::TopLevelOf(Window dialog) {
    for (Window parent = site_.ParentOf(dialog); parent; parent = site_.ParentOf(dialog))
        dialog = parent;
    return dialog;
}

int DialogManager::DefaultButton(Window dialog, bool& disabled) {
    // DM_GETDEFID: the dialog's own default push button, else one of the
    // pages that are control parents (their controls are the dialog's).
    auto search = [this, &disabled](Window d) {
        const dlg::DialogTemplate* t = site_.TemplateOf(d);
        if (t == nullptr) return 0;
        for (const dlg::ControlTemplate& c : t->controls)
            if (c.cls == ControlClass::DefPushButton) {
                disabled = !host_.IsItemEnabled(d, c.id);
                return c.id;
            }
        return 0;
    };
    if (int id = search(dialog)) return id;
    for (Window page : site_.PagesOf(dialog))
        if (int id = search(page)) return id;
    return 0;
}

bool DialogManager::Enter(Window dialog) {
    if (!dialog || site_.ParentOf(dialog) || Ended(dialog)) return false;
    // A focused default push button takes Enter itself; a plain push button
    // with the focus does not (it is not made the default here).
    const DialogItem focus = site_.FocusIn(dialog);
    if (const dlg::ControlTemplate* c = focus ? ControlOf(focus) : nullptr;
        c != nullptr && c->cls == ControlClass::DefPushButton) {
        Command(dialog, focus.id, notify::ButtonClicked);
        return true;
    }
    bool disabled = false;
    const int def = DefaultButton(dialog, disabled);
    if (def == 0)
        Command(dialog, mb::IdOk, notify::ButtonClicked);
    else if (!disabled)
        Command(dialog, def, notify::ButtonClicked);
    return true;
}

bool DialogManager::Escape(Window dialog) {
    if (!dialog || site_.ParentOf(dialog) || Ended(dialog)) return false;
    Command(dialog, mb::IdCancel, notify::ButtonClicked);
    return true;
}

void DialogManager::Help(Window dialog) {
    // WM_HELP goes to the focused control's dialog and, unhandled, on to
    // the dialog it lives in, carrying the control's id.
    const DialogItem focus = site_.FocusIn(dialog);
    DialogMessage m;
    m.msg = Msg::Help;
    m.id = focus ? focus.id : 0;
    for (Window target = focus ? focus.dialog : dialog; target; target = site_.ParentOf(target))
        if (Send(target, m) != 0) return;
}

bool DialogManager::CloseButton(Window dialog) {
    const dlg::DialogTemplate* t = site_.TemplateOf(dialog);
    if (t == nullptr || Ended(dialog) || site_.CloseCommandRemoved(dialog) ||
        (t->style & dlg::DsSysMenu) == 0)
        return false;
    // The default procedure turns SC_CLOSE into WM_CLOSE, and WM_CLOSE into
    // IDCANCEL.
    DialogMessage m;
    m.msg = Msg::SysCommand;
    m.code = sc::Close;
    if (Send(dialog, m) != 0 || Ended(dialog)) return true;
    CloseRequest(dialog);
    return true;
}

void DialogManager::CloseFromOutside(Window dialog) {
    if (!CloseButton(dialog) && !Ended(dialog)) CloseRequest(dialog);
}

void DialogManager::CloseRequest(Window dialog) {
    DialogMessage m;
    m.msg = Msg::Close;
    if (Send(dialog, m) != 0 || Ended(dialog)) return;
    Command(dialog, mb::IdCancel, notify::ButtonClicked);
}

// --- Focus ---------------------------------------------------------------------------

void DialogManager::FocusMoved(DialogItem from, DialogItem to) {
    if (from == to) return;
    if (const dlg::ControlTemplate* c = from ? ControlOf(from) : nullptr;
        c != nullptr && c->cls == ControlClass::Edit)
        Command(from.dialog, from.id, notify::EditKillFocus);
    if (const dlg::ControlTemplate* c = to ? ControlOf(to) : nullptr;
        c != nullptr && c->cls == ControlClass::Edit)
        Command(to.dialog, to.id, notify::EditSetFocus);
}

DialogItem DialogManager::NextTabStop(Window dialog, DialogItem from, bool backwards) {
    std::vector<DialogItem> order;
    auto add = [this, &order](Window d) {
        const dlg::DialogTemplate* t = site_.TemplateOf(d);
        if (t == nullptr) return;
        for (const dlg::ControlTemplate& c : t->controls)
            if ((c.style & dlg::CsTabStop) != 0 && IsTabStopClass(c.cls) && c.id != dlg::NoId &&
                host_.IsItemEnabled(d, c.id) && host_.IsItemVisible(d, c.id))
                order.push_back(DialogItem{d, c.id});
    };
    add(dialog);
    for (Window page : site_.PagesOf(dialog)) {
        const dlg::DialogTemplate* t = site_.TemplateOf(page);
        if (t != nullptr && (t->style & dlg::DsControlParent) != 0) add(page);
    }
    if (order.empty()) return DialogItem{};
    auto at = std::find(order.begin(), order.end(), from);
    if (at == order.end()) return backwards ? order.back() : order.front();
    const auto n = static_cast<std::ptrdiff_t>(order.size());
    std::ptrdiff_t i = at - order.begin();
    i = backwards ? (i + n - 1) % n : (i + 1) % n;
    return order[static_cast<std::size_t>(i)];
}

// --- Drop-down lists -----------------------------------------------------------------

void DialogManager::ComboDroppedDown(DialogItem combo) {
    Command(combo.dialog, combo.id, notify::ComboDropDown);
}

void DialogManager::ComboClosed(DialogItem combo, bool chosen) {
    Command(combo.dialog, combo.id, chosen ? notify::ComboSelEndOk : notify::ComboSelEndCancel);
    Command(combo.dialog, combo.id, notify::ComboCloseUp);
    if (chosen) Command(combo.dialog, combo.id, notify::ComboSelChange);
}

void DialogManager::ComboChoiceOnClosedBox(DialogItem combo) {
    Command(combo.dialog, combo.id, notify::ComboSelEndOk);
    Command(combo.dialog, combo.id, notify::ComboSelChange);
}

// --- Scroll bars -----------------------------------------------------------------------

namespace {

DialogMessage ScrollMessage(const dlg::ControlTemplate& bar, int id, int code, int position) {
    DialogMessage m;
    m.msg = bar.cls == ControlClass::VScrollBar ? Msg::VScroll : Msg::HScroll;
    m.id = id;
    m.code = code;
    m.position = position;
    return m;
}

} // namespace

void DialogManager::ScrollStep(DialogItem bar, int code) {
    const dlg::ControlTemplate* c = ControlOf(bar);
    if (c == nullptr || Ended(bar.dialog)) return;
    stepPending_.insert({bar.dialog.value, bar.id});
    (void)Send(bar.dialog, ScrollMessage(*c, bar.id, code, 0));
}

void DialogManager::ScrollReleased(DialogItem bar) {
    const dlg::ControlTemplate* c = ControlOf(bar);
    if (c == nullptr || stepPending_.erase({bar.dialog.value, bar.id}) == 0) return;
    (void)Send(bar.dialog, ScrollMessage(*c, bar.id, sb::EndScroll, 0));
}

int ScrollCodeOfKey(std::uintptr_t virtualKey) {
    switch (virtualKey) {
    case hook::VkLeft:
    case hook::VkUp:
        return sb::LineLeft;
    case hook::VkRight:
    case hook::VkDown:
        return sb::LineRight;
    case hook::VkPrior:
        return sb::PageLeft;
    case hook::VkNext:
        return sb::PageRight;
    case hook::VkHome:
        return sb::Left;
    case hook::VkEnd:
        return sb::Right;
    default:
        return -1;
    }
}

bool DialogManager::ScrollKey(DialogItem bar, std::uintptr_t virtualKey) {
    const dlg::ControlTemplate* c = ControlOf(bar);
    const int code = ScrollCodeOfKey(virtualKey);
    if (c == nullptr || code < 0 || Ended(bar.dialog) ||
        (c->cls != ControlClass::HScrollBar && c->cls != ControlClass::VScrollBar))
        return false;
    (void)Send(bar.dialog, ScrollMessage(*c, bar.id, code, 0));
    return true;
}

void DialogManager::ThumbPressed(DialogItem bar, int position) {
    ThumbTracked(bar, position);
}

void DialogManager::ThumbTracked(DialogItem bar, int position) {
    if (const dlg::ControlTemplate* c = ControlOf(bar))
        (void)Send(bar.dialog, ScrollMessage(*c, bar.id, sb::ThumbTrack, position));
}

void DialogManager::ThumbReleased(DialogItem bar, int position) {
    const dlg::ControlTemplate* c = ControlOf(bar);
    if (c == nullptr) return;
    (void)Send(bar.dialog, ScrollMessage(*c, bar.id, sb::ThumbPosition, position));
    (void)Send(bar.dialog, ScrollMessage(*c, bar.id, sb::EndScroll, 0));
}

// --- Mouse -------------------------------------------------------------------------------

Window DialogManager::Mouse(Window under, Msg msg, Point screen, unsigned keys) {
    const Window target = capture_ ? capture_ : under;
    if (!target || Ended(target)) return Window{};
    DialogMessage m;
    m.msg = msg;
    m.point = host_.ScreenToClient(target, screen);
    m.keys = keys;
    (void)Send(target, m);
    return target;
}

void DialogManager::SetCapture(Window window) {
    const Window previous = capture_;
    capture_ = window;
    if (previous && previous != window) {
        DialogMessage m;
        m.msg = Msg::CaptureChanged;
        (void)Send(previous, m);
    }
}

void DialogManager::ReleaseCapture() {
    const Window previous = capture_;
    capture_ = Window{};
    if (previous) {
        DialogMessage m;
        m.msg = Msg::CaptureChanged;
        (void)Send(previous, m);
    }
}

} // namespace osa
