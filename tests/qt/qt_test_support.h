// Helpers for the tests of the Qt host: they run inside the modal loops of
// real widgets (offscreen), so each test schedules what "the user" does next
// before it starts the dialog or box.
#pragma once
#include <QString>
#include <QWidget>

#include <functional>

namespace osa::test {

// Calls `action` from the event loop with the active modal widget, once one
// is shown that `accept` accepts (any, when empty). Checks every few
// milliseconds until then, without a time limit.
void WhenModal(std::function<void(QWidget*)> action, std::function<bool(QWidget*)> accept = {});

// A predicate for WhenModal: the dialog built from template `templateId`.
std::function<bool(QWidget*)> IsDialog(int templateId);

// Processes events until `done()` is true, waiting for events in between.
void ProcessUntil(const std::function<bool()>& done);

// The control widget with this id under `root` (objectName "ctl_<id>").
QWidget* Control(QWidget* root, int id);

// The static showing picture or icon `resource` under `root`.
QWidget* Artwork(QWidget* root, int resource);

QString FromUtf8(std::string_view text);

} // namespace osa::test
