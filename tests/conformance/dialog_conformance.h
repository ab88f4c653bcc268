// One table of user actions and the exact messages the dialog procedures
// receive for each, run on every window host: in memory, Qt widgets and real
// Win32 windows (the reference). Each host's test drives the actions its own
// way (method calls, Qt events, Win32 input) through the same dialogs.
//
// The dialogs: a top-level dialog (template 900) with push buttons, the
// default button, an edit, a check box, a radio group, a drop-down list and
// a scroll bar, and inside it a child page (template 901, a control parent)
// with a push button and an edit.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/dialog_template.h"
#include "platform/window_host.h"

namespace osa::conformance {

// Controls of the top-level dialog.
inline constexpr int Go = 10;                               // push button, first tab stop
inline constexpr int Ok = mb::IdOk;                         // the default push button
inline constexpr int Cancel = mb::IdCancel;                 // push button
inline constexpr int Edit = 20;                             // edit, then the check box in tab order
inline constexpr int Check = 40;                            // auto check box
inline constexpr int Radio1 = 30, Radio2 = 31, Radio3 = 32; // one group, Radio1 checked at start
inline constexpr int List = 50; // drop-down list "One" "Two" "Three", "Two" selected
inline constexpr int Bar = 60;  // horizontal scroll bar 0..10 at 5
// Controls of the page.
inline constexpr int PageButton = 70;
inline constexpr int PageEdit = 71;

inline constexpr int MainTemplate = 900;
inline constexpr int PageTemplate = 901;

// The page's client point where a press lands on no control, and the
// main dialog's client point (outside the page) the mouse is dragged to.
inline constexpr Point PagePressDlu{110, 30};
inline constexpr Point MainDragDlu{180, 20};

std::span<const dlg::DialogTemplate> Templates();

enum class Who { Main, Page };

struct Heard {
    Who who = Who::Main;
    Msg msg = Msg::Command;
    int id = 0;
    int code = 0;
    friend bool operator==(const Heard&, const Heard&) = default;
};
std::string ToString(const std::vector<Heard>& heard);

enum class Action {
    ClickRadio2,
    RadioKeyRight, // the Right arrow key on the focused radio button
    RadioKeyUp,    // the Up arrow key on the focused radio button
    ClickCheck,
    Enter,
    Escape,
    CloseBox,
    Tab,
    ListChooseThree, // open the list with the mouse and click "Three"
    ListCancel,      // open the list with the mouse, then Esc
    ListKeyDown,     // the Down key on the closed list
    ListTypeLetter,  // "o" typed on the closed list
    SpaceOnButton,   // the space bar on the focused push button
    SpaceOnCheck,    // the space bar on the focused check box
    BarKeyRight,     // the Right arrow on the focused scroll bar
    BarKeyPageDown,  // Page Down on the focused scroll bar
    BarKeyHome,      // Home on the focused scroll bar
    ScrollArrowRight,
    ScrollPageLeft,
    ThumbDrag,  // press the thumb, move it once to the right, let go
    DragOnPage, // press on the page, move out of it over the main dialog, let go
    // Press on the page, move a little, and end the dialog (Esc) while the
    // page holds the capture.
    PressOnPageThenEnd,
};

struct Case {
    const char* name;
    // Before the action: which control has the focus; whether the default
    // button is disabled.
    Who focusWho;
    int focusId;
    bool defaultDisabled;
    Action action;
    std::vector<Heard> expected;
    // Where the check box, the radio buttons and the list stand after the
    // action.
    bool checkAfter;
    int radioAfter;
    int listAfter = 1;
};
std::span<const Case> Cases();
// The case's name as a test name (letters only).
std::string CaseName(const Case& c);

// What a case left behind: whether the action ended the dialog, and if not,
// where the check box, the radio buttons and the list stand.
struct Outcome {
    bool ended = true;
    bool check = false;
    bool radios[3] = {};
    int list = -1;
};
// Reads the outcome while the dialog is still open and ends it (with 0,
// not recording); nothing when the action ended it already (`open` false).
void Finish(Outcome& outcome, bool open);
// Checks what was heard and the outcome against the case.
void ExpectAsTheTableSays(const Case& c, const Outcome& outcome);

// The procedures of the two dialogs. The main one makes the page at its
// start, ends with 2 on IDCANCEL (and then sets the edit's text, whose
// EN_CHANGE must not reach it); the page takes the capture on a press and
// lets it go on the release.
std::intptr_t MainProc(Window dialog, const DialogMessage& message);
std::intptr_t PageProc(Window dialog, const DialogMessage& message);

// The log: what the procedures heard while recording. Mouse moves are kept
// only while the left button is held, and a run of them counts as one;
// paints, colours, activation and the start are left out.
void StartRecording();
void StopRecording();
const std::vector<Heard>& Log();
Window MainWindow();
Window PageWindow();

} // namespace osa::conformance
