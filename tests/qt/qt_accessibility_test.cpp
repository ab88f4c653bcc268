// What a screen reader finds in the windows through Qt's accessibility
// interface (the one the AT-SPI bridge shows on the accessibility bus): the
// radio buttons as radio buttons, each edit, list and scroll bar named by
// the label in front of it, and the pictures by what they show.
#include <QAccessible>
#include <QAccessibleInterface>
#include <QWidget>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

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
    };
    QtRun run("[Main_Section]\r\nUnit=1\r\nCutCondAdjust=1\r\n");
    std::set<std::pair<R, std::string>> main;
    WhenModal(
        [&](QWidget* window) {
            main = Tree(window);
            Click(window, mb::IdOk);
        },
        IsDialog(ids::DlgMain));
    std::vector<std::string_view> args{"osactl"};
    (void)RunController(0, args);
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
