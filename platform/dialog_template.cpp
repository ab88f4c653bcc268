#include "platform/dialog_template.h"

namespace osa::dlg {

const ControlTemplate* FindControl(const DialogTemplate& dialog, int id) {
    if (id == NoId) return nullptr; // many controls share it; none is addressed by it
    for (const ControlTemplate& c : dialog.controls)
        if (c.id == id) return &c;
    return nullptr;
}

const DialogTemplate* DialogTemplates::Find(int id) const {
    for (const DialogTemplate& t : all_)
        if (t.id == id) return &t;
    return nullptr;
}

} // namespace osa::dlg
