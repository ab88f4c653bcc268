// Helpers for the tests of the Qt host: they run inside the modal loops of
// real widgets (offscreen), so each test schedules what "the user" does next
// before it starts the dialog or box.
#pragma once
#include <QString>
#include <QWidget>

#include <functional>
#include <string_view>

#include "controller/res/resources.h"
#include "platform/qt/qt_input_hooks.h"
#include "platform/qt/qt_window_host.h"
#include "tests/test_support.h"

namespace osa::test {

// A run of the controller in real Qt windows on the in-memory files (the
// program folder /opt/osactl with the shipped media and `ini` as its
// settings file), cutter and spooler, with the application's input hooks;
// the services are installed while it lives.
class QtRun {
  public:
    explicit QtRun(std::string_view ini);
    ~QtRun();
    QtRun(const QtRun&) = delete;
    QtRun& operator=(const QtRun&) = delete;

    QtWindowHost host{dlg::DialogTemplates(res::AllDialogTemplates())};
    MemoryServices memory;
    QtInputHooks hooks;

  private:
    Services previous_{};
};

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

// Clicks button `id` under `root`, which must be there and enabled.
void Click(QWidget* root, int id);

// The static showing picture or icon `resource` under `root`.
QWidget* Artwork(QWidget* root, int resource);

QString FromUtf8(std::string_view text);

} // namespace osa::test
