#include "tests/conformance/dialog_conformance.h"

#include <sstream>

#include <gtest/gtest.h>

#include "platform/services.h"

namespace osa::conformance {

namespace {

using dlg::ControlClass;

constexpr dlg::ControlTemplate MainControls[] = {
    {Go, ControlClass::PushButton, dlg::CsTabStop | dlg::CsGroup, "Go", 0, {5, 5, 40, 14}},
    {Ok, ControlClass::DefPushButton, dlg::CsTabStop, "OK", 0, {50, 5, 40, 14}},
    {Cancel, ControlClass::PushButton, dlg::CsTabStop, "Cancel", 0, {95, 5, 40, 14}},
    {Edit,
     ControlClass::Edit,
     dlg::CsTabStop | dlg::CsBorder | dlg::CsAutoHScroll,
     "",
     0,
     {5, 24, 60, 12}},
    {Check, ControlClass::AutoCheckBox, dlg::CsTabStop, "Check", 0, {75, 25, 50, 10}},
    {Radio1,
     ControlClass::AutoRadioButton,
     dlg::CsTabStop | dlg::CsGroup,
     "One",
     0,
     {5, 42, 40, 10}},
    {Radio2, ControlClass::AutoRadioButton, dlg::CsNone, "Two", 0, {50, 42, 40, 10}},
    {Radio3, ControlClass::AutoRadioButton, dlg::CsNone, "Three", 0, {95, 42, 40, 10}},
    {List,
     ControlClass::DropDownList,
     dlg::CsTabStop | dlg::CsGroup | dlg::CsVScroll,
     "",
     0,
     {5, 56, 80, 60}},
    {Bar, ControlClass::HScrollBar, dlg::CsTabStop | dlg::CsGroup, "", 0, {5, 76, 120, 10}},
};
constexpr dlg::ControlTemplate PageControls[] = {
    {PageButton,
     ControlClass::PushButton,
     dlg::CsTabStop | dlg::CsGroup,
     "Page",
     0,
     {5, 5, 50, 14}},
    {PageEdit, ControlClass::Edit, dlg::CsTabStop | dlg::CsBorder, "", 0, {60, 5, 50, 12}},
};
constexpr dlg::DialogTemplate All[] = {
    {MainTemplate,
     "Conformance",
     dlg::DsPopup | dlg::DsCaption | dlg::DsSysMenu | dlg::DsModalFrame | dlg::DsCentre,
     "MS Sans Serif",
     8,
     {0, 0, 220, 150},
     MainControls},
    {PageTemplate,
     "",
     dlg::DsChild | dlg::DsVisible | dlg::DsControlParent,
     "MS Sans Serif",
     8,
     {5, 92, 160, 50},
     PageControls},
};

bool g_recording = false;
std::vector<Heard> g_log;
Window g_main{};
Window g_page{};

void Record(Who who, const DialogMessage& m) {
    if (!g_recording) return;
    switch (m.msg) {
    case Msg::MouseMove:
        if ((m.keys & mk::LButton) == 0) return;
        break;
    case Msg::Command:
    case Msg::SysCommand:
    case Msg::Close:
    case Msg::HScroll:
    case Msg::VScroll:
    case Msg::LButtonDown:
    case Msg::LButtonUp:
    case Msg::CaptureChanged:
    case Msg::Help:
    case Msg::Destroy:
        break;
    default:
        return;
    }
    const bool keepsCode = m.msg == Msg::Command || m.msg == Msg::SysCommand ||
                           m.msg == Msg::HScroll || m.msg == Msg::VScroll;
    const bool keepsId = keepsCode || m.msg == Msg::Help;
    const Heard heard{who, m.msg, keepsId ? m.id : 0, keepsCode ? m.code : 0};
    // How many moves a drag gives depends on the pointer's speed: a run of
    // them counts as one.
    if (m.msg == Msg::MouseMove && !g_log.empty() && g_log.back() == heard) return;
    g_log.push_back(heard);
}

Heard M(Msg msg, int id = 0, int code = 0) {
    return Heard{Who::Main, msg, id, code};
}
Heard P(Msg msg, int id = 0, int code = 0) {
    return Heard{Who::Page, msg, id, code};
}
Heard Cmd(int id, int code = notify::ButtonClicked) {
    return M(Msg::Command, id, code);
}
Heard Scroll(int code) {
    return M(Msg::HScroll, Bar, code);
}

const std::vector<Case>& Table() {
    using enum Action;
    const Heard ended[] = {M(Msg::Destroy), P(Msg::Destroy)};
    static const std::vector<Case> cases = {
        {"a click in a radio group",
         Who::Main,
         Go,
         false,
         ClickRadio2,
         {Cmd(Radio2)},
         false,
         Radio2},
        {"the Right arrow in a radio group",
         Who::Main,
         Radio1,
         false,
         RadioKeyRight,
         {Cmd(Radio2)},
         false,
         Radio2},
        {"the Up arrow in a radio group, round to its end",
         Who::Main,
         Radio1,
         false,
         RadioKeyUp,
         {Cmd(Radio3)},
         false,
         Radio3},
        {"a click on a check box", Who::Main, Go, false, ClickCheck, {Cmd(Check)}, true, Radio1},
        {"Enter, default button enabled", Who::Main, Check, false, Enter, {Cmd(Ok)}, false, Radio1},
        {"Enter, default button disabled", Who::Main, Check, true, Enter, {}, false, Radio1},
        {"Enter on a focused button of the page",
         Who::Page,
         PageButton,
         false,
         Enter,
         {Cmd(Ok)},
         false,
         Radio1},
        {"Esc", Who::Main, Check, false, Escape, {Cmd(Cancel), ended[0], ended[1]}, false, Radio1},
        {"the close box",
         Who::Main,
         Check,
         false,
         CloseBox,
         {M(Msg::SysCommand, 0, sc::Close), M(Msg::Close), Cmd(Cancel), ended[0], ended[1]},
         false,
         Radio1},
        {"Tab from an edit",
         Who::Main,
         Edit,
         false,
         Tab,
         {Cmd(Edit, notify::EditKillFocus)},
         false,
         Radio1},
        {"a drop-down list, item chosen",
         Who::Main,
         Go,
         false,
         ListChooseThree,
         {Cmd(List, notify::ComboDropDown), Cmd(List, notify::ComboSelEndOk),
          Cmd(List, notify::ComboCloseUp), Cmd(List, notify::ComboSelChange)},
         false,
         Radio1,
         2},
        {"a drop-down list, cancelled",
         Who::Main,
         Go,
         false,
         ListCancel,
         {Cmd(List, notify::ComboDropDown), Cmd(List, notify::ComboSelEndCancel),
          Cmd(List, notify::ComboCloseUp)},
         false,
         Radio1},
        {"a key on the closed list",
         Who::Main,
         List,
         false,
         ListKeyDown,
         {Cmd(List, notify::ComboSelEndOk), Cmd(List, notify::ComboSelChange)},
         false,
         Radio1,
         2},
        {"a letter typed on the closed list",
         Who::Main,
         List,
         false,
         ListTypeLetter,
         {Cmd(List, notify::ComboSelEndOk), Cmd(List, notify::ComboSelChange)},
         false,
         Radio1,
         0},
        {"the space bar on a push button",
         Who::Main,
         Go,
         false,
         SpaceOnButton,
         {Cmd(Go)},
         false,
         Radio1},
        {"the space bar on a check box",
         Who::Main,
         Check,
         false,
         SpaceOnCheck,
         {Cmd(Check)},
         true,
         Radio1},
        {"the Right arrow on a scroll bar",
         Who::Main,
         Bar,
         false,
         BarKeyRight,
         {Scroll(sb::LineRight)},
         false,
         Radio1},
        {"Page Down on a scroll bar",
         Who::Main,
         Bar,
         false,
         BarKeyPageDown,
         {Scroll(sb::PageRight)},
         false,
         Radio1},
        {"Home on a scroll bar",
         Who::Main,
         Bar,
         false,
         BarKeyHome,
         {Scroll(sb::Left)},
         false,
         Radio1},
        {"the scroll bar's right arrow",
         Who::Main,
         Go,
         false,
         ScrollArrowRight,
         {Scroll(sb::LineRight), Scroll(sb::EndScroll)},
         false,
         Radio1},
        {"the scroll bar's page area",
         Who::Main,
         Go,
         false,
         ScrollPageLeft,
         {Scroll(sb::PageLeft), Scroll(sb::EndScroll)},
         false,
         Radio1},
        {"the scroll bar's thumb dragged",
         Who::Main,
         Go,
         false,
         ThumbDrag,
         {Scroll(sb::ThumbTrack), Scroll(sb::ThumbTrack), Scroll(sb::ThumbPosition),
          Scroll(sb::EndScroll)},
         false,
         Radio1},
        {"a drag from the page with the capture",
         Who::Main,
         Go,
         false,
         DragOnPage,
         {P(Msg::LButtonDown), P(Msg::MouseMove), P(Msg::LButtonUp), P(Msg::CaptureChanged)},
         false,
         Radio1},
        {"the capture held as the dialog ends",
         Who::Main,
         Go,
         false,
         PressOnPageThenEnd,
         {P(Msg::LButtonDown), P(Msg::MouseMove), Cmd(Cancel), ended[0], ended[1]},
         false,
         Radio1},
    };
    return cases;
}

const char* Name(Msg msg) {
    switch (msg) {
    case Msg::Command:
        return "Command";
    case Msg::SysCommand:
        return "SysCommand";
    case Msg::Close:
        return "Close";
    case Msg::HScroll:
        return "HScroll";
    case Msg::VScroll:
        return "VScroll";
    case Msg::LButtonDown:
        return "LButtonDown";
    case Msg::LButtonUp:
        return "LButtonUp";
    case Msg::MouseMove:
        return "MouseMove";
    case Msg::CaptureChanged:
        return "CaptureChanged";
    case Msg::Help:
        return "Help";
    case Msg::Destroy:
        return "Destroy";
    default:
        return "?";
    }
}

} // namespace

std::span<const dlg::DialogTemplate> Templates() {
    return All;
}

std::span<const Case> Cases() {
    return Table();
}

std::string CaseName(const Case& c) {
    std::string name;
    bool upper = true;
    for (const char* p = c.name; *p != '\0'; ++p) {
        const char ch = *p;
        if ((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z')) {
            name += upper && ch >= 'a' ? static_cast<char>(ch - 'a' + 'A') : ch;
            upper = false;
        } else {
            upper = true;
        }
    }
    return name;
}

std::string ToString(const std::vector<Heard>& heard) {
    std::ostringstream out;
    for (const Heard& h : heard) {
        out << (h.who == Who::Main ? "main " : "page ") << Name(h.msg);
        if (h.id != 0 || h.code != 0) out << "(" << h.id << ", " << h.code << ")";
        out << "; ";
    }
    return out.str();
}

std::intptr_t MainProc(Window dialog, const DialogMessage& m) {
    Record(Who::Main, m);
    WindowHost& w = Windows();
    switch (m.msg) {
    case Msg::InitDialog:
        g_main = dialog;
        g_page = w.CreateDialog(PageTemplate, dialog, PageProc, 0);
        for (const char* item : {"One", "Two", "Three"})
            (void)w.ComboAdd(dialog, List, item);
        w.ComboSetSelection(dialog, List, 1);
        w.SetScrollRange(dialog, Bar, 0, 10, false);
        w.SetScrollPos(dialog, Bar, 5, false);
        w.CheckItem(dialog, Radio1, true);
        return 1;
    case Msg::Command:
        if (m.id == Cancel) {
            w.EndDialog(dialog, 2);
            w.SetItemText(dialog, Edit, "after the end"); // its EN_CHANGE must not arrive
        }
        return 0;
    case Msg::Destroy:
        g_main = Window{};
        return 0;
    default:
        return 0;
    }
}

std::intptr_t PageProc(Window dialog, const DialogMessage& m) {
    Record(Who::Page, m);
    switch (m.msg) {
    case Msg::LButtonDown:
        Windows().SetCapture(dialog);
        return 0;
    case Msg::LButtonUp:
        Windows().ReleaseCapture();
        return 0;
    case Msg::Destroy:
        g_page = Window{};
        return 0;
    default:
        return 0;
    }
}

void Finish(Outcome& outcome, bool open) {
    const Window main = g_main;
    if (!open || !main) return;
    WindowHost& w = Windows();
    outcome.ended = false;
    outcome.check = w.IsItemChecked(main, Check);
    for (int i = 0; i < 3; ++i)
        outcome.radios[i] = w.IsItemChecked(main, Radio1 + i);
    outcome.list = w.ComboGetSelection(main, List);
    StopRecording();
    w.EndDialog(main, 0);
}

void ExpectAsTheTableSays(const Case& c, const Outcome& outcome) {
    StopRecording();
    EXPECT_EQ(ToString(Log()), ToString(c.expected));
    if (outcome.ended) return;
    EXPECT_EQ(outcome.check, c.checkAfter);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(outcome.radios[i], Radio1 + i == c.radioAfter) << "radio " << i;
    EXPECT_EQ(outcome.list, c.listAfter);
}

void StartRecording() {
    g_log.clear();
    g_recording = true;
}

void StopRecording() {
    g_recording = false;
}

const std::vector<Heard>& Log() {
    return g_log;
}

Window MainWindow() {
    return g_main;
}

Window PageWindow() {
    return g_page;
}

} // namespace osa::conformance
