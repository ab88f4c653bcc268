#include "platform/memory/memory_user.h"

#include "platform/memory/memory_input_hooks.h"

#include <algorithm>
#include <utility>

namespace osa {

using dlg::ControlClass;

void MemoryUser::Then(MemoryWindowHost::UserAction action) {
    script_.push_back(std::move(action));
}

bool MemoryUser::RunNext() {
    if (script_.empty()) return false;
    MemoryWindowHost::UserAction next = std::move(script_.front());
    script_.pop_front();
    next(host_);
    return true;
}

MemoryWindowHost::Control* MemoryUser::Reach(int id, MemoryWindowHost::Dialog*& holder) {
    holder = host_.Holder(id);
    if (holder == nullptr || holder->ended) return nullptr;
    MemoryWindowHost::Control* c = host_.LookupControl(holder->handle, id);
    return c != nullptr && host_.UserCanReach(*c) ? c : nullptr;
}

bool MemoryUser::PassesHooks(unsigned message) {
    return host_.hooks_ == nullptr || !host_.hooks_->Mouse(message);
}

namespace {

bool IsButtonClass(ControlClass c) {
    return c == ControlClass::PushButton || c == ControlClass::DefPushButton ||
           c == ControlClass::AutoCheckBox || c == ControlClass::AutoRadioButton;
}

// The item a key chooses on a closed drop-down list, as the Win32 list
// does: the arrows the next or the previous one, Home and End the ends, a
// letter or digit the next item after the selected one (round the list)
// whose text starts with it, in either case. -1 when the key chooses none.
int ListItemForKey(const std::vector<std::string>& items, int selection, std::uintptr_t key) {
    const int count = static_cast<int>(items.size());
    if (count == 0) return -1;
    switch (key) {
    case hook::VkDown:
    case hook::VkRight:
        return std::min(selection + 1, count - 1);
    case hook::VkUp:
    case hook::VkLeft:
        return std::max(selection - 1, 0);
    case hook::VkHome:
        return 0;
    case hook::VkEnd:
        return count - 1;
    default:
        break;
    }
    const bool letter = key >= 'A' && key <= 'Z';
    if (!letter && !(key >= '0' && key <= '9')) return -1;
    const auto lower = [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    const char wanted = lower(static_cast<char>(key));
    for (int step = 1; step <= count; ++step) {
        const int i = (std::max(selection, -1) + step + count) % count;
        if (!items[i].empty() && lower(items[i].front()) == wanted) return i;
    }
    return -1;
}

} // namespace

bool MemoryUser::Key(std::uintptr_t virtualKey, bool down, bool repeat) {
    if (host_.hooks_ != nullptr && host_.hooks_->Key(virtualKey, down, repeat)) return false;
    const Window active = host_.Active();
    const DialogItem focus = host_.Lookup(active) != nullptr ? host_.FocusIn(active) : DialogItem{};
    MemoryWindowHost::Control* c = focus ? host_.LookupControl(focus.dialog, focus.id) : nullptr;
    const ControlClass cls = c != nullptr ? c->tmpl->cls : ControlClass::Static;
    // A button is clicked as the space bar goes up, as Win32 buttons are.
    if (!down) {
        if (virtualKey == hook::VkSpace && c != nullptr && IsButtonClass(cls) &&
            host_.UserCanReach(*c))
            host_.manager_.ButtonClicked(focus.dialog, focus.id);
        return true;
    }
    // An arrow on a button moves through its group (the dialog manager).
    if (virtualKey >= hook::VkLeft && virtualKey <= hook::VkDown &&
        host_.manager_.GroupArrow(focus, virtualKey == hook::VkLeft || virtualKey == hook::VkUp))
        return true;
    ++host_.keysToControls_;
    if (c == nullptr) return true;
    if (cls == ControlClass::HScrollBar || cls == ControlClass::VScrollBar) {
        (void)host_.manager_.ScrollKey(focus, virtualKey);
    } else if (cls == ControlClass::DropDownList && !c->listOpen) {
        const int item = ListItemForKey(c->items, c->selection, virtualKey);
        if (item >= 0 && item != c->selection) {
            c->selection = item;
            host_.manager_.ComboChoiceOnClosedBox(focus);
        }
    }
    return true;
}

bool MemoryUser::ClickIn(Window dialog, int id) {
    MemoryWindowHost::Dialog* d = host_.Lookup(dialog);
    MemoryWindowHost::Control* c = host_.LookupControl(dialog, id);
    if (d == nullptr || d->ended || c == nullptr || !host_.UserCanReach(*c)) return false;
    // The click's press and release pass the hooks first; a swallowed one
    // never reaches the button.
    const bool pressed = PassesHooks(hook::WmLButtonDown);
    const bool released = PassesHooks(hook::WmLButtonUp);
    if (!pressed || !released) return true;
    switch (c->tmpl->cls) {
    case ControlClass::AutoCheckBox:
    case ControlClass::AutoRadioButton:
    case ControlClass::PushButton:
    case ControlClass::DefPushButton:
        break;
    default:
        return false; // statics, edits and lists are not clicked
    }
    host_.MoveFocus(dialog, id); // the button takes the focus as it is pressed
    host_.manager_.ButtonClicked(dialog, id);
    return true;
}

namespace {

// The start of UTF-8 `text` that an edit limited to `limit` characters takes:
// characters are counted as the systems' edits count them, in UTF-16 units
// (one outside the basic plane takes two), and none is cut in two.
std::string_view WithinLimit(std::string_view text, int limit) {
    int units = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte & 0xC0) == 0x80) continue; // inside a character
        units += byte >= 0xF0 ? 2 : 1;
        if (units > limit) return text.substr(0, i);
    }
    return text;
}

} // namespace

bool MemoryUser::Type(int id, std::string_view text) {
    MemoryWindowHost::Dialog* d = nullptr;
    MemoryWindowHost::Control* c = Reach(id, d);
    if (c == nullptr || c->tmpl->cls != ControlClass::Edit) return false;
    const Window dialog = d->handle;
    host_.MoveFocus(dialog, id);
    c = host_.LookupControl(dialog, id);
    if (c == nullptr) return true;
    c->text = std::string(c->textLimit > 0 ? WithinLimit(text, c->textLimit) : text);
    host_.manager_.Command(dialog, id, notify::EditChange);
    return true;
}

bool MemoryUser::SelectItem(int id, int index) {
    MemoryWindowHost::Dialog* d = nullptr;
    MemoryWindowHost::Control* c = Reach(id, d);
    if (c == nullptr || c->tmpl->cls != ControlClass::DropDownList || index < 0 ||
        index >= static_cast<int>(c->items.size()))
        return false;
    const Window dialog = d->handle;
    host_.MoveFocus(dialog, id);
    if ((c = host_.LookupControl(dialog, id)) == nullptr) return true;
    c->selection = index;
    host_.manager_.ComboChoiceOnClosedBox(DialogItem{dialog, id});
    return true;
}

bool MemoryUser::ChooseFromList(int id, int index) {
    MemoryWindowHost::Dialog* d = nullptr;
    MemoryWindowHost::Control* c = Reach(id, d);
    if (c == nullptr || c->tmpl->cls != ControlClass::DropDownList ||
        index >= static_cast<int>(c->items.size()))
        return false;
    const Window dialog = d->handle;
    const DialogItem combo{dialog, id};
    host_.MoveFocus(dialog, id);
    if ((c = host_.LookupControl(dialog, id)) == nullptr) return true;
    c->listOpen = true;
    host_.manager_.ComboDroppedDown(combo);
    if ((c = host_.LookupControl(dialog, id)) == nullptr) return true;
    c->listOpen = false;
    if (index >= 0) c->selection = index;
    host_.manager_.ComboClosed(combo, index >= 0);
    return true;
}

bool MemoryUser::Scroll(int id, int code, int position) {
    MemoryWindowHost::Dialog* d = nullptr;
    MemoryWindowHost::Control* c = Reach(id, d);
    if (c == nullptr) return false;
    DialogMessage m;
    if (c->tmpl->cls == ControlClass::HScrollBar)
        m.msg = Msg::HScroll;
    else if (c->tmpl->cls == ControlClass::VScrollBar)
        m.msg = Msg::VScroll;
    else
        return false;
    m.id = id;
    m.code = code;
    m.position = position;
    (void)host_.manager_.Send(d->handle, m);
    return true;
}

bool MemoryUser::ScrollClick(int id, int code) {
    MemoryWindowHost::Dialog* d = nullptr;
    MemoryWindowHost::Control* c = Reach(id, d);
    if (c == nullptr ||
        (c->tmpl->cls != ControlClass::HScrollBar && c->tmpl->cls != ControlClass::VScrollBar))
        return false;
    const DialogItem bar{d->handle, id};
    host_.manager_.ScrollStep(bar, code);
    host_.manager_.ScrollReleased(bar);
    return true;
}

bool MemoryUser::DragThumb(int id, const std::vector<int>& positions) {
    MemoryWindowHost::Dialog* d = nullptr;
    MemoryWindowHost::Control* c = Reach(id, d);
    if (c == nullptr || positions.empty() ||
        (c->tmpl->cls != ControlClass::HScrollBar && c->tmpl->cls != ControlClass::VScrollBar))
        return false;
    const DialogItem bar{d->handle, id};
    host_.manager_.ThumbPressed(bar, c->scrollPos);
    for (int p : positions)
        host_.manager_.ThumbTracked(bar, p);
    host_.manager_.ThumbReleased(bar, positions.back());
    return true;
}

bool MemoryUser::PressEnter() {
    const Window active = host_.Active();
    if (host_.Lookup(active) == nullptr) return host_.openBox_.has_value() && Answer(mb::IdOk);
    return host_.manager_.Enter(active);
}

bool MemoryUser::DismissBox() {
    if (!host_.openBox_) return false;
    // Esc and the close button answer Cancel when the box has one, else OK.
    const bool hasCancel = (host_.boxes_[*host_.openBox_].style & 0xF) == mb::OkCancel;
    return Answer(hasCancel ? mb::IdCancel : mb::IdOk);
}

bool MemoryUser::PressEscape() {
    const Window active = host_.Active();
    if (host_.Lookup(active) == nullptr) return DismissBox();
    return host_.manager_.Escape(active);
}

bool MemoryUser::PressTab(bool backwards) {
    MemoryWindowHost::Dialog* top = host_.Lookup(host_.Active());
    if (top == nullptr) return false;
    const DialogItem next = host_.manager_.NextTabStop(top->handle, top->focus, backwards);
    if (!next) return false;
    host_.MoveFocus(next.dialog, next.id);
    if (MemoryWindowHost::Control* c = host_.LookupControl(next.dialog, next.id);
        c != nullptr && c->tmpl->cls == ControlClass::Edit) {
        c->selStart = 0; // the dialog manager selects an edit's text on Tab
        c->selEnd = static_cast<int>(c->text.size());
    }
    return true;
}

bool MemoryUser::PressF1() {
    const Window active = host_.Active();
    if (host_.Lookup(active) == nullptr) return false;
    host_.manager_.Help(active);
    return true;
}

bool MemoryUser::CloseBox() {
    const Window active = host_.Active();
    if (host_.Lookup(active) == nullptr) return DismissBox();
    return host_.manager_.CloseButton(active);
}

bool MemoryUser::RequestClose() {
    const Window active = host_.Active();
    if (host_.Lookup(active) == nullptr) return false;
    host_.manager_.CloseFromOutside(active);
    return true;
}

bool MemoryUser::Answer(int answer) {
    if (!host_.openBox_ || host_.Lookup(host_.Active()) != nullptr) return false;
    host_.boxes_[*host_.openBox_].answer = answer;
    return true;
}

bool MemoryUser::Mouse(Window dialog, Msg msg, Point client, unsigned keys) {
    MemoryWindowHost::Dialog* d = host_.Lookup(dialog);
    if (d == nullptr || d->ended) return false;
    if (!PassesHooks(static_cast<unsigned>(msg))) return true; // swallowed by a hook
    const Point screen{d->rect.left + client.x, d->rect.top + client.y};
    return static_cast<bool>(host_.manager_.Mouse(dialog, msg, screen, keys));
}

} // namespace osa
