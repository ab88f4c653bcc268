#include "platform/dialog_template.h"

namespace osa::dlg {

const ControlTemplate* FindControl(const DialogTemplate& dialog, int id) {
    if (id == NoId) return nullptr; // many controls share it; none is addressed by it
    for (const ControlTemplate& c : dialog.controls)
        if (c.id == id) return &c;
    return nullptr;
}

namespace {

bool IsTextStatic(const ControlTemplate& c) {
    return c.cls == ControlClass::Static && !c.text.empty();
}

} // namespace

const ControlTemplate* LabelOf(const DialogTemplate& dialog, const ControlTemplate& control) {
    const DluRect& r = control.rect;
    const ControlTemplate* onLine = nullptr;
    const ControlTemplate* withColon = nullptr;
    const ControlTemplate* above = nullptr;
    for (const ControlTemplate& c : dialog.controls) {
        if (&c == &control || !IsTextStatic(c)) continue;
        const DluRect& l = c.rect;
        const bool sameLine = l.y < r.y + r.cy && r.y < l.y + l.cy;
        const bool leftOf = l.x + l.cx <= r.x + 1;
        if (sameLine && leftOf) {
            auto nearer = [&](const ControlTemplate* best) {
                return best == nullptr || l.x + l.cx > best->rect.x + best->rect.cx;
            };
            if (nearer(onLine)) onLine = &c;
            if (c.text.back() == ':' && nearer(withColon)) withColon = &c;
        } else if (l.y + l.cy <= r.y + 1 && l.x < r.x + r.cx && r.x < l.x + l.cx) {
            if (above == nullptr || l.y + l.cy > above->rect.y + above->rect.cy) above = &c;
        }
    }
    if (withColon != nullptr) return withColon;
    return onLine != nullptr ? onLine : above;
}

std::string LabelName(std::string_view labelText) {
    std::string name;
    for (char ch : labelText) {
        if (ch == '&') continue;
        if (ch == '\n') ch = ' ';
        if (ch == ' ' && (name.empty() || name.back() == ' ')) continue; // one blank between words
        name.push_back(ch);
    }
    while (!name.empty() && (name.back() == ':' || name.back() == ' '))
        name.pop_back();
    while (!name.empty() && name.front() == ' ')
        name.erase(name.begin());
    return name;
}

const DialogTemplate* DialogTemplates::Find(int id) const {
    for (const DialogTemplate& t : all_)
        if (t.id == id) return &t;
    return nullptr;
}

} // namespace osa::dlg
