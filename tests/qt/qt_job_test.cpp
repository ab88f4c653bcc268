// A whole print-and-cut job in real Qt windows (offscreen): the main window,
// the page, the guide and the Media loading dialog, clicked through as a
// user would, against the in-memory cutter and files.
#include <QAbstractButton>
#include <QWidget>

#include <gtest/gtest.h>

#include "controller/app_state.h"
#include "controller/res/resource_ids.h"
#include "controller/res/resources.h"
#include "controller/shell/entry.h"
#include "platform/qt/qt_window_host.h"
#include "platform/services.h"
#include "tests/qt/qt_test_support.h"
#include "tests/test_support.h"

namespace osa::test {
namespace {

void Click(QWidget* root, int id) {
    auto* button = qobject_cast<QAbstractButton*>(Control(root, id));
    ASSERT_NE(button, nullptr) << id;
    ASSERT_TRUE(button->isEnabled()) << id;
    button->click();
}

TEST(QtJob, WholeCutModeJobInRealWindows) {
    ResetAppState();
    QtWindowHost host{dlg::DialogTemplates(res::AllDialogTemplates())};
    MemoryServices memory;
    MemoryFileSystem& files = memory.files;
    MemoryCutterPort& cutter = memory.cutter;
    InstallProgramFolder(files, "/opt/osactl");
    files.AddFile("/opt/osactl/OSACTL.INI", "[Main_Section]\r\nUnit=0\r\n");
    const Services previous = InstallServices(memory.With(host));

    bool cutEnabledAtStart = true;
    WhenModal(
        [&](QWidget* main) {
            cutEnabledAtStart = Control(main, mb::IdOk)->isEnabled();
            // At step 3 the Media loading dialog opens; it is closed with OK,
            // then the guide goes on to the last step and "Cut..." ends it.
            WhenModal(
                [](QWidget* loading) {
                    Click(loading, mb::IdOk);
                    WhenModal(
                        [](QWidget* mainAgain) {
                            Click(mainAgain, 5184);
                            Click(mainAgain, 5184);
                            Click(mainAgain, mb::IdOk);
                        },
                        IsDialog(ids::DlgMain));
                },
                IsDialog(ids::DlgMediaLoading));
            Click(main, 5184);
            Click(main, 5184);
            Click(main, 5184);
        },
        IsDialog(ids::DlgMain));

    std::vector<std::string_view> args{"osactl", "-CUTMODE", "-FN0", "-TB23,150,100", "-TB51,10"};
    EXPECT_EQ(RunController(0, args), 2);
    InstallServices(previous);

    EXPECT_FALSE(cutEnabledAtStart);
    ASSERT_GE(cutter.writes.size(), 2u);
    EXPECT_EQ(cutter.writes[cutter.writes.size() - 2], "TB99\x03TB55,1\x03TB123,3000,2000\x03");
    EXPECT_EQ(cutter.writes.back(), "FQ5\x03");
    const std::string settings = files.FileContents("/opt/osactl/OSACTL.INI").value_or("");
    EXPECT_NE(settings.find("PosSet=1"), std::string::npos) << settings;
    EXPECT_NE(settings.find("TomboDisX=150000"), std::string::npos) << settings;
}

} // namespace
} // namespace osa::test
