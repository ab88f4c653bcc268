// ShowErrorMessage through the real Win32 host: the message boxes and the
// communication-error dialog as they appear on screen. The test's thread
// shows the box and waits in its modal loop; a watcher thread finds the box
// among the thread's windows, reads it and answers it.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "controller/app_state.h"
#include "controller/res/resource_ids.h"
#include "controller/res/resources.h"
#include "controller/shell/error_message.h"
#include "platform/services.h"
#include "platform/win32/win32_window_host.h"
#include "tests/win32/win32_test_support.h"

namespace osa {
namespace {

using wintest::BoxIcon;

const std::string kCaption = "Ostrandel Controller";
const std::string kPortInUse =
    "The USB port is currently in use.\nPlease wait ten seconds, and then try again.";
const std::string kNoCutter =
    "Cannot communicate with Ostrandel.\nCheck that the USB cable is connected correctly, press "
    "Ostrandel's standby switch, and then confirm that the LED is lit.";

// Message boxes keep their text in the static with id 0xFFFF.
constexpr int kBoxTextId = 0xFFFF;

class NoInstanceGuard final : public InstanceGuard {
  public:
    bool ClaimFirstInstance() override { return true; }
    void RaiseFirstInstance(std::string_view) override {}
};

enum class Shown { StopBox, ExclamationBox, CommBox };
enum class Answer { Ok, SystemClose };

// What the watcher saw of the window, before it answered.
struct Seen {
    bool found = false;
    std::string className;
    std::string caption;
    std::string boxText;  // static 0xFFFF (message boxes)
    std::string commText; // control 5177 (communication-error box)
    BoxIcon icon = BoxIcon::None;
    wintest::Pictures pictures;
};

// Finds the dialog window the thread shows, waits until its text is in
// place, reads it and answers it. Runs on its own thread.
Seen WatchAndAnswer(DWORD threadId, Answer answer) {
    Seen seen;
    HWND box = wintest::WaitFor([threadId]() -> HWND {
        auto windows = wintest::ThreadWindows(threadId, "#32770");
        return windows.empty() ? nullptr : windows.front();
    });
    if (box == nullptr) return seen;
    seen.found = true;
    // The texts are set while the window initialises.
    wintest::WaitUntil([box] {
        return !wintest::Text(GetDlgItem(box, kBoxTextId)).empty() ||
               !wintest::Text(GetDlgItem(box, ids::CommErrorText)).empty();
    });
    seen.className = wintest::ClassName(box);
    seen.caption = wintest::Text(box);
    seen.boxText = wintest::Text(GetDlgItem(box, kBoxTextId));
    seen.commText = wintest::Text(GetDlgItem(box, ids::CommErrorText));
    seen.icon = wintest::MessageBoxIcon(box);
    seen.pictures = wintest::PicturesOf(box);
    if (answer == Answer::Ok)
        wintest::PressOk(box);
    else
        PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
    return seen;
}

// The smallest code with no string: its box shows only " [code = N]".
ResultCode CodeWithoutString() {
    ResultCode code = 1;
    while (res::HasString(static_cast<int>(code)))
        ++code;
    return code;
}

struct Case {
    const char* name;
    ResultCode code;
    Shown shown;
    Answer answer;
    std::string text;
};

class ShowErrorMessageWin32 : public ::testing::TestWithParam<Case> {
  protected:
    void SetUp() override {
        ResetAppState();
        previous_ = InstallServices(Services{&host_, &guard_});
    }
    void TearDown() override { InstallServices(previous_); }

    win32::Win32WindowHost host_{dlg::DialogTemplates(res::AllDialogTemplates())};
    NoInstanceGuard guard_;

  private:
    Services previous_{};
};

TEST_P(ShowErrorMessageWin32, ShowsTheBoxAndEndsOnTheAnswer) {
    const Case& c = GetParam();
    Seen seen;
    std::thread watcher(
        [&seen, &c, thread = GetCurrentThreadId()] { seen = WatchAndAnswer(thread, c.answer); });
    const std::intptr_t result = ShowErrorMessage(Window{}, c.code);
    watcher.join();

    ASSERT_TRUE(seen.found) << "no box appeared for code " << c.code;
    EXPECT_EQ(seen.className, "#32770");
    EXPECT_EQ(seen.caption, kCaption);
    EXPECT_EQ(result, 1); // IDOK from a box; 1 from the communication-error box
    switch (c.shown) {
    case Shown::StopBox:
    case Shown::ExclamationBox: {
        EXPECT_EQ(seen.boxText, c.text);
        const BoxIcon expected = c.shown == Shown::StopBox ? BoxIcon::Hand : BoxIcon::Exclamation;
        // A system that draws its boxes with icons of its own cannot be read
        // this way; Wine uses the shared system icons.
        if (seen.icon != BoxIcon::Other) {
            EXPECT_EQ(wintest::ToString(seen.icon), wintest::ToString(expected));
        }
        break;
    }
    case Shown::CommBox:
        EXPECT_EQ(seen.commText, c.text);
        EXPECT_EQ(seen.boxText, ""); // not a message box
        EXPECT_EQ(seen.pictures.bitmaps, 1);
        EXPECT_EQ(seen.pictures.icons, 1);
#ifdef OSA_TEST_HAVE_ARTWORK
        EXPECT_EQ(seen.pictures.bitmapsLoaded, 1) << "bitmap 1016 not loaded";
        EXPECT_EQ(seen.pictures.iconsLoaded, 1) << "icon 1515 not loaded";
#endif
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ShowErrorMessageWin32,
    ::testing::Values(
        Case{"PortInUse56", 56, Shown::StopBox, Answer::Ok, kPortInUse + " [code = 56]"},
        Case{"MarkReading208", 208, Shown::ExclamationBox, Answer::Ok,
             "Registration mark reading failure. Please reload the medium. [code = 208]"},
        Case{"Companion211", 211, Shown::StopBox, Answer::Ok,
             "Startup Animated Instructions Error !!! [code = 211]"},
        Case{"NoString", CodeWithoutString(), Shown::StopBox, Answer::Ok,
             " [code = " + std::to_string(CodeWithoutString()) + "]"},
        Case{"WrongModel62", 62, Shown::CommBox, Answer::Ok, kNoCutter + " [code = 62]"},
        Case{"NoCutter57ClosedBySystemMenu", 57, Shown::CommBox, Answer::SystemClose,
             kNoCutter + " [code = 57]"},
        Case{"WrongModel62ClosedBySystemMenu", 62, Shown::CommBox, Answer::SystemClose,
             kNoCutter + " [code = 62]"}),
    [](const ::testing::TestParamInfo<Case>& p) { return std::string(p.param.name); });

} // namespace
} // namespace osa
