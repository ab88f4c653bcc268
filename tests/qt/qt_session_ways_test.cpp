// One stand-alone session in real Qt windows (offscreen) — the next medium,
// "Adjust Settings", one step slower, "Portrait", "Registration Marks",
// "inch", "Close" — done three ways:
// with the mouse, with the keyboard alone (Tab to a control, then the keys
// a Windows user presses there), and through the accessibility interface a
// screen reader uses (toggle, press, set value, an item of the list
// toggled). Each way must leave the cutter with exactly the bytes, and the
// settings file with exactly the text, that the mouse gives.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QComboBox>
#include <QScrollBar>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "controller/res/control_ids.h"
#include "controller/res/resource_ids.h"
#include "controller/shell/entry.h"
#include "platform/escaped_bytes.h"
#include "tests/qt/qt_test_support.h"
#include "tests/test_support.h"

namespace osa::test {
namespace {

enum class Way { Mouse, Keyboard, Accessibility };

const char* Name(Way way) {
    switch (way) {
    case Way::Mouse:
        return "the mouse";
    case Way::Keyboard:
        return "the keyboard";
    case Way::Accessibility:
        return "the accessibility interface";
    }
    return "?";
}

// Tab, from whatever has the focus, until control `id` has it; fails when
// a whole round of the tab order does not reach it.
void TabTo(QWidget* main, int id) {
    for (int presses = 0; presses < 80; ++presses) {
        QWidget* focus = QApplication::focusWidget();
        if (focus != nullptr && focus->window() == main && focus->property("osa_id").toInt() == id)
            return;
        QTest::keyClick(focus != nullptr ? focus : main, Qt::Key_Tab);
    }
    FAIL() << "Tab does not reach control " << id;
}

// A key pressed and let go on the focused control.
void KeyOnFocus(Qt::Key key) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, key);
}

QAccessibleInterface* Accessible(QWidget* root, int id) {
    QWidget* w = Control(root, id);
    return w != nullptr ? QAccessible::queryAccessibleInterface(w) : nullptr;
}

void DoAction(QWidget* root, int id, const QString& action) {
    QAccessibleInterface* a = Accessible(root, id);
    ASSERT_NE(a, nullptr) << id;
    ASSERT_NE(a->actionInterface(), nullptr) << id;
    ASSERT_TRUE(a->actionInterface()->actionNames().contains(action))
        << id << " " << action.toStdString();
    a->actionInterface()->doAction(action);
}

void MouseClick(QWidget* root, int id) {
    QWidget* w = Control(root, id);
    ASSERT_NE(w, nullptr) << id;
    QTest::mouseClick(w, Qt::LeftButton);
}

// Each step of the session the given way. `main` is the main window, which
// holds the page and its controls.
void NextMedium(Way way, QWidget* main) {
    auto* list = qobject_cast<QComboBox*>(Control(main, ctl::MediaList));
    ASSERT_NE(list, nullptr);
    const int next = list->currentIndex() + 1;
    ASSERT_LT(next, list->count());
    switch (way) {
    case Way::Mouse: {
        QTest::mouseClick(list, Qt::LeftButton);
        QAbstractItemView* view = list->view();
        ASSERT_TRUE(view->isVisible());
        // The list takes no release for a double-click time after it opens.
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        const QRect item = view->visualRect(list->model()->index(next, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
        break;
    }
    case Way::Keyboard:
        TabTo(main, ctl::MediaList);
        KeyOnFocus(Qt::Key_Down);
        break;
    case Way::Accessibility: {
        QAccessibleInterface* a = Accessible(main, ctl::MediaList);
        ASSERT_NE(a, nullptr);
        ASSERT_EQ(a->childCount(), 1);
        QAccessibleInterface* item = a->child(0)->child(next);
        ASSERT_NE(item, nullptr);
        ASSERT_NE(item->actionInterface(), nullptr);
        item->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        break;
    }
    }
    QTest::qWait(20); // the list's closing notifications come once its events are handled
}

// A button the given way; `keyboardFrom` is the control Tab goes to and
// `key` what is pressed there (Space on the button itself, an arrow from
// the first button of its radio group).
void Button(Way way, QWidget* main, int id, int keyboardFrom, Qt::Key key, const QString& action) {
    switch (way) {
    case Way::Mouse:
        MouseClick(main, id);
        break;
    case Way::Keyboard:
        TabTo(main, keyboardFrom);
        KeyOnFocus(key);
        break;
    case Way::Accessibility:
        DoAction(main, id, action);
        break;
    }
}

void SpeedOneSlower(Way way, QWidget* main) {
    auto* bar = qobject_cast<QScrollBar*>(Control(main, ctl::SpeedBar));
    ASSERT_NE(bar, nullptr);
    ASSERT_TRUE(bar->isEnabled());
    switch (way) {
    case Way::Mouse:
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(3, bar->height() / 2));
        break;
    case Way::Keyboard:
        TabTo(main, ctl::SpeedBar);
        KeyOnFocus(Qt::Key_Left);
        break;
    case Way::Accessibility: {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(bar);
        ASSERT_NE(a->valueInterface(), nullptr);
        a->valueInterface()->setCurrentValue(bar->value() - 1);
        break;
    }
    }
}

// The writes on one line each, for a readable difference.
std::string Escaped(const std::vector<std::string>& writes) {
    std::string out;
    for (const std::string& w : writes)
        out += EscapedBytes(w) + "\n";
    return out;
}

struct Result {
    std::vector<std::string> sent;
    std::string settings;
    bool bothOrientations = true;
    int speed = 0;
};

Result Session(Way way) {
    QtRun run("[Main_Section]\r\nDirection=0\r\nUnit=0\r\n");
    Result result;
    WhenModal(
        [&](QWidget* main) {
            main->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(main));
            run.memory.cutter.writes.clear();
            const QString toggle = QAccessibleActionInterface::toggleAction();
            NextMedium(way, main);
            Button(way, main, ctl::AdjustSettings, ctl::AdjustSettings, Qt::Key_Space, toggle);
            SpeedOneSlower(way, main);
            Button(way, main, ctl::Portrait, ctl::Landscape, Qt::Key_Right, toggle);
            // The unit is for the marks' distances, so the marks go on first.
            Button(way, main, ctl::RegistrationMarks, ctl::RegistrationMarks, Qt::Key_Space,
                   toggle);
            Button(way, main, ctl::UnitInch, ctl::UnitMm, Qt::Key_Right, toggle);
            auto* landscape = qobject_cast<QAbstractButton*>(Control(main, ctl::Landscape));
            auto* portrait = qobject_cast<QAbstractButton*>(Control(main, ctl::Portrait));
            result.bothOrientations = landscape->isChecked() == portrait->isChecked();
            result.speed = qobject_cast<QScrollBar*>(Control(main, ctl::SpeedBar))->value();
            result.sent = run.memory.cutter.writes;
            // "Close" ends the stand-alone run.
            Button(way, main, mb::IdOk, mb::IdOk, Qt::Key_Space,
                   QAccessibleActionInterface::pressAction());
        },
        IsDialog(ids::DlgMain));
    std::vector<std::string_view> args{"osactl"};
    EXPECT_EQ(RunController(0, args), 0) << Name(way);
    result.settings = run.memory.files.FileContents("/opt/osactl/OSACTL.INI").value_or("");
    return result;
}

TEST(QtSessionWays, KeyboardAndAccessibilityDoWhatTheMouseDoes) {
    const Result mouse = Session(Way::Mouse);
    // What the mouse session did: a medium, its conditions, the speed, the
    // orientation, the marks; the unit is the program's own and sends
    // nothing.
    ASSERT_FALSE(mouse.sent.empty());
    EXPECT_NE(std::find(mouse.sent.begin(), mouse.sent.end(), "FN1\x03"), mouse.sent.end())
        << Escaped(mouse.sent);
    EXPECT_NE(std::find(mouse.sent.begin(), mouse.sent.end(), "!9\x03"), mouse.sent.end())
        << Escaped(mouse.sent);
    EXPECT_FALSE(mouse.bothOrientations);
    EXPECT_NE(mouse.settings.find("Unit=1"), std::string::npos) << mouse.settings;
    EXPECT_NE(mouse.settings.find("Direction=1"), std::string::npos) << mouse.settings;

    for (Way way : {Way::Keyboard, Way::Accessibility}) {
        const Result other = Session(way);
        EXPECT_EQ(Escaped(other.sent), Escaped(mouse.sent)) << Name(way);
        EXPECT_EQ(other.settings, mouse.settings) << Name(way);
        EXPECT_FALSE(other.bothOrientations) << Name(way);
        EXPECT_EQ(other.speed, mouse.speed) << Name(way);
    }
}

} // namespace
} // namespace osa::test
