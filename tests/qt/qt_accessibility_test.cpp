// What a screen reader finds in the windows through Qt's accessibility
// interface (the one the AT-SPI bridge shows on the accessibility bus): the
// radio buttons as radio buttons, each edit, list and scroll bar named by
// the label in front of it, the pictures by what they show, and the drawn
// buttons of the blade position pad as buttons that can be pressed.
#include <QAccessible>
#include <QAccessibleInterface>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "controller/app_state.h"
#include "controller/res/resource_ids.h"
#include "controller/shell/entry.h"
#include "tests/qt/qt_test_support.h"

namespace osa::test {
namespace {

// Every (role, name) pair of the accessible tree under `root`. A control
// labelled by another (the "labelled by" relation) also appears under its
// label's name with "label:" before it: on Linux a list box's name is its
// chosen item, and screen readers announce the label from the relation.
std::set<std::pair<QAccessible::Role, std::string>> Tree(QWidget* root) {
    std::set<std::pair<QAccessible::Role, std::string>> out;
    std::vector<QAccessibleInterface*> open{QAccessible::queryAccessibleInterface(root)};
    while (!open.empty()) {
        QAccessibleInterface* at = open.back();
        open.pop_back();
        if (at == nullptr || !at->isValid()) continue;
        out.emplace(at->role(), at->text(QAccessible::Name).toStdString());
        for (const auto& [label, relation] : at->relations(QAccessible::Label))
            out.emplace(at->role(), "label:" + label->text(QAccessible::Name).toStdString());
        for (int i = 0; i < at->childCount(); ++i)
            open.push_back(at->child(i));
    }
    return out;
}

// The first interface under `root` with this role and name, or nullptr.
QAccessibleInterface* Find(QWidget* root, QAccessible::Role role, const std::string& name) {
    std::vector<QAccessibleInterface*> open{QAccessible::queryAccessibleInterface(root)};
    while (!open.empty()) {
        QAccessibleInterface* at = open.back();
        open.pop_back();
        if (at == nullptr || !at->isValid()) continue;
        if (at->role() == role && at->text(QAccessible::Name).toStdString() == name) return at;
        for (int i = 0; i < at->childCount(); ++i)
            open.push_back(at->child(i));
    }
    return nullptr;
}

std::intptr_t Silent(Window, const DialogMessage&) {
    return 0;
}

TEST(QtAccessibility, ControlsHaveTheirRolesAndNames) {
    using R = QAccessible::Role;
    const std::vector<std::pair<R, std::string>> mainWants = {
        {R::RadioButton, "Landscape"},
        {R::RadioButton, "Portrait"},
        {R::RadioButton, "mm"},
        {R::RadioButton, "inch"},
        {R::CheckBox, "Registration Marks"},
        {R::ComboBox, "label:Media Type"},
        {R::EditableText, "label:Width:"},
        {R::EditableText, "Width"},
        {R::EditableText, "Length"},
        {R::ScrollBar, "Speed"},
        {R::ScrollBar, "Thickness"},
        {R::Button, "Cancel"},
        // The drawn buttons of the blade position pad.
        {R::Button, "Up"},
        {R::Button, "Down"},
        {R::Button, "Left"},
        {R::Button, "Right"},
        {R::Button, "Test Cut"},
        {R::Button, "Set Origin"},
    };
    QtRun run("[Main_Section]\r\nUnit=1\r\nCutCondAdjust=1\r\n");
    std::set<std::pair<R, std::string>> main;
    QRect upShown, upSpot;
    std::vector<std::string> sentByPress;
    WhenModal(
        [&](QWidget* window) {
            QTest::qWait(20); // painted: the pad tells of its buttons as it draws them
            main = Tree(window);
            // The pad's up button where it is drawn; pressed, it moves the
            // blade and stops it, as a click does.
            auto* page =
                window->findChild<QWidget*>(QStringLiteral("dlg_%1").arg(ids::DlgCutSettings));
            ASSERT_NE(page, nullptr);
            const Rect up = App().PadAreas.up;
            upSpot = QRect(page->mapToGlobal(QPoint(up.left, up.top)),
                           page->mapToGlobal(QPoint(up.right, up.bottom)));
            if (QAccessibleInterface* button = Find(window, R::Button, "Up")) {
                upShown = button->rect();
                run.memory.cutter.writes.clear();
                if (QAccessibleActionInterface* action = button->actionInterface())
                    action->doAction(QAccessibleActionInterface::pressAction());
                sentByPress = run.memory.cutter.writes;
            }
            Click(window, mb::IdOk);
        },
        IsDialog(ids::DlgMain));
    std::vector<std::string_view> args{"osactl"};
    (void)RunController(0, args);
    EXPECT_EQ(upShown, upSpot);
    const std::string up("\x1b\x00\x02", 3), stop("\x1b\x00\x00", 3);
    EXPECT_EQ(sentByPress, (std::vector<std::string>{up, stop}));
    for (const auto& want : mainWants)
        EXPECT_TRUE(main.count(want))
            << "main window: role " << want.first << " \"" << want.second << "\"";
    bool figureNamed = false;
    for (const auto& [role, name] : main)
        if (name.rfind("The cutter with the sheet loaded", 0) == 0) figureNamed = true;
    EXPECT_TRUE(figureNamed) << "the media-loading figure has no description";

    // Dialogs made on their own: the edits and bars of Calibration and Add Media.
    const struct {
        int dialog;
        std::vector<std::pair<R, std::string>> wants;
    } dialogs[] = {
        {ids::DlgCalibration, {{R::EditableText, "Media Feed Direction"}}},
        {ids::DlgAddMedia,
         {{R::EditableText, "Media Type"}, {R::ScrollBar, "Speed"}, {R::ScrollBar, "Thickness"}}},
    };
    for (const auto& d : dialogs) {
        const Window dialog = run.host.CreateDialog(d.dialog, Window{}, Silent, 0);
        ASSERT_TRUE(dialog) << d.dialog;
        QWidget* w = run.host.WidgetOf(dialog);
        w->show();
        const auto tree = Tree(w);
        for (const auto& want : d.wants)
            EXPECT_TRUE(tree.count(want))
                << "dialog " << d.dialog << ": role " << want.first << " \"" << want.second << "\"";
        run.host.EndDialog(dialog, 0);
        ProcessUntil([&] { return run.host.WidgetOf(dialog) == nullptr; });
    }
}

} // namespace
} // namespace osa::test
