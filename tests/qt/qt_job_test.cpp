// A whole print-and-cut job in real Qt windows (offscreen): the main window,
// the page, the guide and the Media loading dialog, clicked through as a
// user would, against the in-memory cutter and files.
#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

#include "controller/app_state.h"
#include "controller/res/control_ids.h"
#include "controller/res/resource_ids.h"
#include "controller/res/resources.h"
#include "controller/shell/entry.h"
#include "platform/qt/qt_input_hooks.h"
#include "platform/qt/qt_window_host.h"
#include "platform/services.h"
#include "tests/qt/qt_test_support.h"
#include "tests/test_support.h"

namespace osa::test {
namespace {

// Walks the guide of a cut-mode run in real windows: `atStart` runs on the
// main window, then "Next >>" three times; at step 3 the Media loading
// dialog opens and is closed with OK; then `afterLoading` runs on the main
// window at step 3.
void WalkPastMediaLoading(std::function<void(QWidget*)> atStart,
                          std::function<void(QWidget*)> afterLoading) {
    WhenModal(
        [atStart, afterLoading](QWidget* main) {
            atStart(main);
            WhenModal(
                [afterLoading](QWidget* loading) {
                    Click(loading, mb::IdOk);
                    WhenModal(afterLoading, IsDialog(ids::DlgMain));
                },
                IsDialog(ids::DlgMediaLoading));
            Click(main, 5184);
            Click(main, 5184);
            Click(main, 5184);
        },
        IsDialog(ids::DlgMain));
}

TEST(QtJob, WholeCutModeJobInRealWindows) {
    QtRun run("[Main_Section]\r\nUnit=0\r\n");
    MemoryFileSystem& files = run.memory.files;
    MemoryCutterPort& cutter = run.memory.cutter;

    bool cutEnabledAtStart = true;
    // After the Media loading dialog the guide goes on to the last step and
    // "Cut..." ends the job.
    WalkPastMediaLoading(
        [&](QWidget* main) { cutEnabledAtStart = Control(main, mb::IdOk)->isEnabled(); },
        [](QWidget* mainAgain) {
            Click(mainAgain, 5184);
            Click(mainAgain, 5184);
            Click(mainAgain, mb::IdOk);
        });

    std::vector<std::string_view> args{"osactl", "-CUTMODE", "-FN0", "-TB23,150,100", "-TB51,10"};
    EXPECT_EQ(RunController(0, args), 2);

    EXPECT_FALSE(cutEnabledAtStart);
    ASSERT_GE(cutter.writes.size(), 2u);
    EXPECT_EQ(cutter.writes[cutter.writes.size() - 2], "TB99\x03TB55,1\x03TB123,3000,2000\x03");
    EXPECT_EQ(cutter.writes.back(), "FQ5\x03");
    const std::string settings = files.FileContents("/opt/osactl/OSACTL.INI").value_or("");
    EXPECT_NE(settings.find("PosSet=1"), std::string::npos) << settings;
    EXPECT_NE(settings.find("TomboDisX=150000"), std::string::npos) << settings;
}

TEST(QtJob, TheBladePadMovesTheBladeWhileThePressOrTheArrowKeyLasts) {
    // Reading at the blade position: at step 4 the pad is on. A press on its
    // up button and a release anywhere (the page holds the capture) start
    // and stop the blade.
    QtRun run("[Main_Section]\r\nUnit=0\r\nTomboAutoRead=0\r\nPosSet=1\r\n");
    MemoryCutterPort& cutter = run.memory.cutter;

    std::vector<std::string> sent;
    bool capturedWhileHeld = false; // the blade moved up until the release
    WalkPastMediaLoading(
        [](QWidget*) {},
        [&](QWidget* mainAgain) {
            Click(mainAgain, 5184); // step 4
            auto* page =
                mainAgain->findChild<QWidget*>(QStringLiteral("dlg_%1").arg(ids::DlgCutSettings));
            ASSERT_NE(page, nullptr);
            const Rect up = App().PadAreas.up;
            cutter.writes.clear();
            QTest::mousePress(page, Qt::LeftButton, {}, QPoint(up.left + 16, up.top + 16));
            capturedWhileHeld = App().Pad.HeldDirections == pad::Up;
            QTest::mouseRelease(page, Qt::LeftButton, {}, QPoint(3, 3));
            // Then with the up arrow, through the input hooks.
            Click(mainAgain, ctl::UseKeyboard);
            QWidget* focus = QApplication::focusWidget();
            QWidget* target = focus != nullptr ? focus : page;
            QTest::keyPress(target, Qt::Key_Up);
            QTest::keyPress(target, Qt::Key_Up, {}, -1); // held: nothing more
            QTest::keyRelease(target, Qt::Key_Up);
            sent = cutter.writes;
            Click(mainAgain, mb::IdCancel);
        });

    std::vector<std::string_view> args{"osactl", "-CUTMODE", "-FN0", "-TB23,150,100", "-TB51,10"};
    EXPECT_EQ(RunController(0, args), 1);
    EXPECT_TRUE(capturedWhileHeld);
    const std::string up("\x1b\x00\x02", 3), stop("\x1b\x00\x00", 3);
    EXPECT_EQ(sent, (std::vector<std::string>{up, stop, up, stop}));
}

} // namespace
} // namespace osa::test
