// The Calibration and Add Media dialogs opened from the page of a
// stand-alone run in real Qt windows (offscreen), used with the mouse and
// the keyboard, against the in-memory cutter and files.
#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QScrollBar>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// Replaces the text of edit `id` as a user does: select all, type.
void TypeInto(QWidget* root, int id, const QString& text) {
    auto* edit = qobject_cast<QLineEdit*>(Control(root, id));
    ASSERT_NE(edit, nullptr) << id;
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, text);
}

// A click on the arrow at the far (right or bottom) end of bar `id`.
void ClickFarArrow(QWidget* root, int id) {
    auto* bar = qobject_cast<QScrollBar*>(Control(root, id));
    ASSERT_NE(bar, nullptr) << id;
    const QPoint far = bar->orientation() == Qt::Horizontal
                           ? QPoint(bar->width() - 3, bar->height() / 2)
                           : QPoint(bar->width() / 2, bar->height() - 3);
    QTest::mouseClick(bar, Qt::LeftButton, {}, far);
}

void AnswerOk(QWidget* box) {
    auto* message = qobject_cast<QMessageBox*>(box);
    ASSERT_NE(message, nullptr);
    message->button(QMessageBox::Ok)->click();
}

TEST(QtSecondaryDialogs, CalibrationAndAddMediaFromThePage) {
    QtRun run("[Main_Section]\r\nUnit=0\r\n");
    MemoryCutterPort& cutter = run.memory.cutter;

    std::vector<std::string> calibrationSent, addMediaSent;
    std::string yLabel;
    bool noCloseBox = false;
    WhenModal(
        [&](QWidget* main) {
            auto* page =
                main->findChild<QWidget*>(QStringLiteral("dlg_%1").arg(ids::DlgCutSettings));
            ASSERT_NE(page, nullptr);
            App().SensorCorrectionY = 40;
            // Calibration: OK on the notice, one step right on the Y bar, a
            // new feed correction, Enter.
            WhenModal(
                [&](QWidget* notice) {
                    WhenModal(
                        [&](QWidget* calibration) {
                            noCloseBox =
                                !calibration->windowFlags().testFlag(Qt::WindowCloseButtonHint);
                            ClickFarArrow(calibration, 5131);
                            yLabel = qobject_cast<QWidget*>(Control(calibration, 5114))
                                         ->property("text")
                                         .toString()
                                         .toStdString();
                            TypeInto(calibration, 5105, QStringLiteral("-0.75"));
                            QTest::keyClick(Control(calibration, 5105), Qt::Key_Return);
                        },
                        IsDialog(ids::DlgCalibration));
                    AnswerOk(notice);
                },
                [](QWidget* w) { return qobject_cast<QMessageBox*>(w) != nullptr; });
            cutter.writes.clear();
            Click(page, ctl::Calibration);
            calibrationSent = cutter.writes;

            // Add Media (with the conditions adjusted): a name, thickness one
            // step up, OK.
            Click(page, ctl::AdjustSettings);
            WhenModal(
                [&](QWidget* addMedia) {
                    TypeInto(addMedia, 5169, QStringLiteral("Kraft Board"));
                    ClickFarArrow(addMedia, 5171);
                    Click(addMedia, mb::IdOk);
                },
                IsDialog(ids::DlgAddMedia));
            cutter.writes.clear();
            Click(page, ctl::AddMedia);
            addMediaSent = cutter.writes;
            Click(page, mb::IdOk); // "Close": the stand-alone run ends
        },
        IsDialog(ids::DlgMain));

    std::vector<std::string_view> args{"osactl"};
    EXPECT_EQ(RunController(0, args), 0);

    EXPECT_TRUE(noCloseBox);
    EXPECT_EQ(yLabel, "Y:1");
    EXPECT_EQ(calibrationSent, (std::vector<std::string>{"TB72,0,1\x03", "FB-75,0\x03"}));
    ASSERT_EQ(addMediaSent.size(), 1u);
    EXPECT_EQ(addMediaSent[0].substr(0, 2), "FW"); // the new medium's condition
    const std::string file =
        run.memory.files.FileContents("/opt/osactl/Media/Kraft Board.hcf").value_or("");
    EXPECT_NE(file.find("ConfigurationMode=2"), std::string::npos) << file;
}

// The orientation changed through the accessibility interface (a screen
// reader's "toggle") and with the arrow keys: the radio group stays
// exclusive and the cutter gets the orientation each time, as with a click.
TEST(QtSecondaryDialogs, OrientationThroughTheAccessibilityInterfaceAndTheArrows) {
    QtRun run("[Main_Section]\r\nDirection=0\r\n");
    MemoryCutterPort& cutter = run.memory.cutter;

    std::vector<std::string> sent;
    bool bothAfterToggle = true, portraitAfterToggle = false, landscapeAfterKey = false;
    WhenModal(
        [&](QWidget* main) {
            auto* landscape = qobject_cast<QAbstractButton*>(Control(main, ctl::Landscape));
            auto* portrait = qobject_cast<QAbstractButton*>(Control(main, ctl::Portrait));
            ASSERT_NE(landscape, nullptr);
            ASSERT_NE(portrait, nullptr);
            cutter.writes.clear();
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(portrait);
            ASSERT_NE(a, nullptr);
            ASSERT_NE(a->actionInterface(), nullptr);
            a->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
            portraitAfterToggle = portrait->isChecked();
            bothAfterToggle = portrait->isChecked() && landscape->isChecked();
            // Then back with the Left arrow from "Portrait", with the focus
            // on it in the active window, as the user has it.
            main->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(main));
            portrait->setFocus();
            EXPECT_TRUE(portrait->hasFocus());
            QTest::keyClick(portrait, Qt::Key_Left);
            landscapeAfterKey =
                landscape->isChecked() && !portrait->isChecked() && landscape->hasFocus();
            sent = cutter.writes;
            Click(main, mb::IdOk); // "Close"
        },
        IsDialog(ids::DlgMain));

    std::vector<std::string_view> args{"osactl"};
    EXPECT_EQ(RunController(0, args), 0);
    EXPECT_TRUE(portraitAfterToggle);
    EXPECT_FALSE(bothAfterToggle);
    EXPECT_TRUE(landscapeAfterKey);
    EXPECT_EQ(sent, (std::vector<std::string>{"FN1\x03", "FN0\x03"}));
}

} // namespace
} // namespace osa::test
