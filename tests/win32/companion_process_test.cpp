// The Win32 launcher against the real companion program, MTC_DMAN.EXE beside
// this test: started (also from a folder whose name has spaces and a
// non-ASCII letter), its window found once it waits for input, made topmost,
// asked to close with WM_CLOSE, and seen to end with 0.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/win32_process_launcher.h"
#include "platform/win32/win32_text.h"
#include "tests/win32/win32_test_support.h"

namespace osa {
namespace {

const std::string kTitle = "Ostrandel Animated Instructions";

std::wstring FolderOfTest() {
    wchar_t path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path, n);
    dir.resize(dir.find_last_of(L"\\/") + 1);
    return dir;
}

// A copy of MTC_DMAN.EXE in a fresh folder under %TEMP% named `folder`;
// removed again at the end of the test.
class CompanionCopy {
  public:
    explicit CompanionCopy(const std::wstring& folder) {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        dir_ = std::wstring(temp) + folder;
        CreateDirectoryW(dir_.c_str(), nullptr);
        path_ = dir_ + L"\\MTC_DMAN.EXE";
        ok_ = CopyFileW((FolderOfTest() + L"MTC_DMAN.EXE").c_str(), path_.c_str(), FALSE) != FALSE;
    }
    ~CompanionCopy() {
        DeleteFileW(path_.c_str());
        RemoveDirectoryW(dir_.c_str());
    }
    CompanionCopy(const CompanionCopy&) = delete;
    CompanionCopy& operator=(const CompanionCopy&) = delete;

    bool Ok() const { return ok_; }
    std::string PathUtf8() const { return win32::Narrow(path_); }

  private:
    std::wstring dir_;
    std::wstring path_;
    bool ok_ = false;
};

class CompanionProcessTest : public ::testing::Test {
  protected:
    // A companion the test leaves running is ended here.
    void TearDown() override {
        if (record.process == 0) return;
        auto process = reinterpret_cast<HANDLE>(record.process);
        if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process, 999);
            WaitForSingleObject(process, INFINITE);
        }
        launcher.Release(record);
    }

    // Starts the program at `path` and checks the whole round: window,
    // topmost, close request, exit code 0, release.
    void RunRound(const std::string& path) {
        ASSERT_TRUE(launcher.Start(path, record)) << path;
        EXPECT_NE(record.process, 0u);
        EXPECT_NE(record.processId, 0u);
        EXPECT_EQ(record.thread, 0u); // closed at once
        bool known = false;
        EXPECT_TRUE(launcher.IsRunning(record, known));
        EXPECT_TRUE(known);

        // The program waited for input before Start returned: its window is
        // there now, without waiting.
        const auto window = reinterpret_cast<HWND>(launcher.FindMainWindow(record));
        ASSERT_NE(window, nullptr);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        EXPECT_EQ(owner, record.processId);
        EXPECT_EQ(wintest::Text(window), kTitle);
        EXPECT_EQ(GetParent(window), nullptr);

        launcher.BringToFront(reinterpret_cast<std::uintptr_t>(window));
        EXPECT_NE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
        EXPECT_TRUE(launcher.IsRunning(record, known));

        launcher.AskToClose(reinterpret_cast<std::uintptr_t>(window));
        ASSERT_TRUE(wintest::WaitUntil([&] { return !launcher.IsRunning(record, known); }))
            << "the companion did not close";
        EXPECT_TRUE(known);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(reinterpret_cast<HANDLE>(record.process), &code);
        EXPECT_EQ(code, 0u);

        launcher.Release(record);
        EXPECT_EQ(record.process, 0u);
        EXPECT_FALSE(launcher.IsRunning(record, known));
        EXPECT_FALSE(known);
    }

    win32::Win32ProcessLauncher launcher;
    ProcessRecord record{};
};

TEST_F(CompanionProcessTest, StartsFindsItsWindowMakesItTopmostAndClosesIt) {
    RunRound(win32::Narrow(FolderOfTest() + L"MTC_DMAN.EXE"));
}

TEST_F(CompanionProcessTest, StartsFromAFolderWithSpacesAndNonAsciiLetters) {
    CompanionCopy copy(L"Ostrandel Tools \u00e9t\u00e9");
    ASSERT_TRUE(copy.Ok()) << GetLastError();
    RunRound(copy.PathUtf8());
}

TEST_F(CompanionProcessTest, AMissingProgramIsNotStarted) {
    for (const char* path : {"C:\\nonexistent\\MTC_DMAN.EXE", ""}) {
        SCOPED_TRACE(path);
        ProcessRecord none{};
        EXPECT_FALSE(launcher.Start(path, none));
        EXPECT_EQ(none.process, 0u);
    }
}

} // namespace
} // namespace osa
