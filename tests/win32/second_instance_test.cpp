// Two controllers: a copy of OSACTL.EXE (built beside this test) is started
// in demo mode; once its main window is up a second one is started, which
// must show the "already active" box, bring the first controller's window to
// the front and end with 100. The first then closes with 0 on a close
// request.
//
// The copy runs in a scratch folder: the controller saves its settings beside
// itself when it closes. The firmware-1 demo (-DEMO_V1) is used: it needs no
// media files beside the program, so the copy needs nothing else.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/win32_text.h"
#include "tests/win32/win32_test_support.h"

namespace osa {
namespace {

const std::string kCaption = "Ostrandel Controller";
const std::string kAlreadyActive = "Ostrandel Controller is already active.";
constexpr DWORD kAlreadyRunningExit = 100;

// A copy of the OSACTL.EXE built beside this test in `folder`; empty when
// it could not be made.
std::wstring CopyOfProgramIn(const std::string& folder) {
    const std::string built = wintest::ThisProgramsFolder() + "OSACTL.EXE";
    const std::string copy = folder + "\\OSACTL.EXE"; // both in the ANSI code page
    if (!CopyFileA(built.c_str(), copy.c_str(), TRUE)) return {};
    return win32::Widen(win32::CodePageToUtf8(copy));
}

// A started controller. Ends it if the test leaves early, so no process is
// left holding the single-instance mutex.
class Controller {
  public:
    Controller(const std::wstring& program, const std::wstring& arguments) {
        std::wstring commandLine = L"\"" + program + L"\" " + arguments;
        STARTUPINFOW si{};
        si.cb = sizeof si;
        started_ = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                  nullptr, nullptr, &si, &pi_) != FALSE;
    }
    ~Controller() {
        if (!started_) return;
        if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(pi_.hProcess, 999);
            WaitForSingleObject(pi_.hProcess, INFINITE);
        }
        CloseHandle(pi_.hThread);
        CloseHandle(pi_.hProcess);
    }
    Controller(const Controller&) = delete;
    Controller& operator=(const Controller&) = delete;

    bool Started() const { return started_; }
    DWORD ProcessId() const { return pi_.dwProcessId; }
    // Waits for the process to end (at most the test's patience) and gives
    // its exit code, or STILL_ACTIVE.
    DWORD ExitCode() const {
        WaitForSingleObject(pi_.hProcess, static_cast<DWORD>(wintest::Patience.count() * 1000));
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(pi_.hProcess, &code);
        return code;
    }
    // The process's visible dialog window whose caption satisfies `want`.
    HWND FindDialog(const std::function<bool(HWND)>& want) const {
        for (HWND w : wintest::ProcessWindows(pi_.dwProcessId, "#32770"))
            if (want(w)) return w;
        return nullptr;
    }

  private:
    PROCESS_INFORMATION pi_{};
    bool started_ = false;
};

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(SecondInstance, ShowsCode51RaisesTheFirstAndEndsWith100) {
    // Another controller in this session would take the test's place.
    if (HANDLE existing = OpenMutexA(SYNCHRONIZE, FALSE, "MTController")) {
        CloseHandle(existing);
        FAIL() << "a controller is already running in this Wine session";
    }

    const wintest::ScratchFolder folder("osi");
    ASSERT_FALSE(folder.Path().empty());
    const std::wstring program = CopyOfProgramIn(folder.Path());
    ASSERT_FALSE(program.empty()) << "OSACTL.EXE not copied: " << GetLastError();

    Controller first(program, L"-DEMO_V1");
    ASSERT_TRUE(first.Started()) << "OSACTL.EXE not started: " << GetLastError();
    HWND main = wintest::WaitFor(
        [&first] { return first.FindDialog([](HWND w) { return wintest::Text(w) == kCaption; }); });
    ASSERT_NE(main, nullptr) << "the first controller's window did not appear";

    // Minimised, so that only the second controller's raising can bring it
    // back: it shows the window normally and makes it the foreground one.
    ShowWindow(main, SW_MINIMIZE);
    ASSERT_TRUE(wintest::WaitUntil([main] { return IsIconic(main) != FALSE; }));

    Controller second(program, L"-DEMO_V1");
    ASSERT_TRUE(second.Started());
    // The box of the second controller; its text is set while it initialises.
    HWND box = wintest::WaitFor([&second] {
        return second.FindDialog(
            [](HWND w) { return !wintest::Text(GetDlgItem(w, 0xFFFF)).empty(); });
    });
    ASSERT_NE(box, nullptr) << "the second controller showed no box";
    const std::string text = wintest::Text(GetDlgItem(box, 0xFFFF));
    EXPECT_EQ(text.rfind(kAlreadyActive, 0), 0u) << text;
    EXPECT_TRUE(EndsWith(text, "[code = 51]")) << text;
    EXPECT_EQ(wintest::Text(box), kCaption);
    const wintest::BoxIcon icon = wintest::MessageBoxIcon(box);
    if (icon != wintest::BoxIcon::Other) {
        EXPECT_STREQ(wintest::ToString(icon), wintest::ToString(wintest::BoxIcon::Exclamation));
    }
    wintest::PressOk(box);

    EXPECT_EQ(second.ExitCode(), kAlreadyRunningExit);
    // The second controller restored the first one's window and made it the
    // foreground window (the activation reaches the first process a little
    // after the second has ended).
    wintest::WaitUntil([main] { return !IsIconic(main) && GetForegroundWindow() == main; });
    EXPECT_FALSE(IsIconic(main));
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_EQ(GetForegroundWindow(), main);

    // The first controller is still there, and ends with 0 when closed.
    ASSERT_TRUE(IsWindow(main));
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.ExitCode(), 0u);
    // It saved its settings on the way out, beside the copy it ran from.
    EXPECT_NE(GetFileAttributesA((folder.Path() + "\\OSACTL.INI").c_str()),
              INVALID_FILE_ATTRIBUTES);
}

} // namespace
} // namespace osa
