// A whole cut-mode job in real Win32 windows, in demo mode: the main window,
// its page, the guide and the Media loading dialog, clicked through by a
// watcher thread as a user would, with the Win32 services on real files in
// a scratch program folder. One medium there has a name outside ASCII in the
// ANSI code page, to show the name conversion on screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "controller/app_state.h"
#include "controller/res/resource_ids.h"
#include "controller/res/resources.h"
#include "controller/shell/entry.h"
#include "controller/ui/main_dialog.h"
#include "platform/services.h"
#include "platform/win32/win32_cutter_port.h"
#include "platform/win32/win32_debug_trace.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_instance_guard.h"
#include "platform/win32/win32_print_spooler.h"
#include "platform/win32/win32_process_launcher.h"
#include "platform/win32/win32_profile_store.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_window_host.h"
#include "tests/win32/win32_test_support.h"

namespace osa {
namespace {

using namespace wintest;

constexpr int StepLabelFirst = 5000;
constexpr int StepTitle = 5101;
constexpr int NextButton = 5184;
constexpr int MediaList = 5103;
constexpr int LastStep = 5;

// The real file system, but the program lives in the scratch folder.
class ScratchProgramFiles final : public FileSystem {
  public:
    explicit ScratchProgramFiles(std::string program) : program_(std::move(program)) {}
    char PathSeparator() const override { return files_.PathSeparator(); }
    std::string ExecutablePath() override { return program_; }
    std::string UserDataDirectory() override { return files_.UserDataDirectory(); }
    bool IsDirectoryWritable(std::string_view dir) override {
        return files_.IsDirectoryWritable(dir);
    }
    bool MakeDirectory(std::string_view dir) override { return files_.MakeDirectory(dir); }
    bool Exists(std::string_view path) override { return files_.Exists(path); }
    std::vector<Entry> List(std::string_view dir, std::string_view suffix) override {
        return files_.List(dir, suffix);
    }
    bool CopyFileIfMissing(std::string_view from, std::string_view to) override {
        return files_.CopyFileIfMissing(from, to);
    }

  private:
    win32::Win32FileSystem files_;
    std::string program_;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A medium name outside ASCII that the ANSI code page can hold, as UTF-8;
// empty when none of these fits.
std::string NonAsciiMediumName() {
    for (const char* name :
         {"Caf\xC3\xA9 Film", "\xE3\x83\x95\xE3\x82\xA3\xE3\x83\xAB\xE3\x83\xA0"}) {
        const std::string bytes = win32::Utf8ToCodePage(name);
        if (!bytes.empty() && win32::CodePageToUtf8(bytes) == name) return name;
    }
    return {};
}

// What the watcher saw and did. Read by the test's thread after the join.
struct Walk {
    bool mainFound = false;
    bool pageFound = false;
    bool cutEnabledAtStart = true;
    Colour currentLabel = 0;
    Colour otherLabel = 0;
    std::vector<int> stepsReached;
    bool loadingFound = false;
    std::string loadingCaption;
    bool loadingClosed = false;
    bool cutEnabledAtEnd = false;
    bool nextEnabledAtEnd = true;
    std::vector<std::string> mediaShown;
    std::string failure; // what the walk stopped at, if it did
};

HWND FindPage(HWND main) {
    for (HWND child : Children(main))
        if (ClassName(child) == "#32770") return child;
    return nullptr;
}

// The text colour the window's procedure gives a static, asked as the
// static itself asks when it paints.
Colour TextColourOf(HWND dialog, HWND control) {
    HDC dc = CreateCompatibleDC(nullptr);
    SetTextColor(dc, RGB(1, 2, 3));
    SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(control));
    const Colour colour = GetTextColor(dc);
    DeleteDC(dc);
    return colour;
}

// Posted, as a click from the mouse arrives: the button's procedure runs on
// the window's thread, and a click that opens a modal dialog does not hold
// the watcher.
void Click(HWND button) {
    PostMessageW(button, BM_CLICK, 0, 0);
}

std::vector<std::string> ComboItems(HWND combo) {
    std::vector<std::string> out;
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length < 0) continue;
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(length));
        out.push_back(win32::Narrow(text));
    }
    return out;
}

// Ends whatever is still open on the thread, so that a walk that stopped
// half way fails the test instead of leaving it in the modal loop.
void CloseEverything(DWORD thread) {
    WaitUntil([thread] {
        const std::vector<HWND> open = ThreadWindows(thread);
        for (HWND w : open)
            PostMessageW(w, WM_CLOSE, 0, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return open.empty();
    });
}

void WalkTheJob(DWORD thread, Walk& walk) {
    const std::string caption(res::LoadString(ids::StrCaption));
    HWND main = WaitFor([&] {
        for (HWND w : ThreadWindows(thread, "#32770"))
            if (Text(w) == caption && GetDlgItem(w, NextButton) != nullptr) return w;
        return static_cast<HWND>(nullptr);
    });
    walk.mainFound = main != nullptr;
    HWND page = main != nullptr ? FindPage(main) : nullptr;
    walk.pageFound = page != nullptr;
    if (page == nullptr) {
        walk.failure = "no main window with its page";
        return;
    }
    walk.cutEnabledAtStart = IsWindowEnabled(GetDlgItem(page, mb::IdOk)) != FALSE;
    walk.currentLabel = TextColourOf(main, GetDlgItem(main, StepLabelFirst));
    walk.otherLabel = TextColourOf(main, GetDlgItem(main, StepLabelFirst + 1));
    walk.mediaShown = ComboItems(GetDlgItem(page, MediaList));

    const res::DialogTemplate* loadingTemplate = res::FindDialogTemplate(ids::DlgMediaLoading);
    const std::string loadingCaption(loadingTemplate != nullptr ? loadingTemplate->caption : "");
    for (int step = 1; step <= LastStep; ++step) {
        HWND next = GetDlgItem(main, NextButton);
        if (!IsWindowEnabled(next)) {
            walk.failure = "Next >> disabled before step " + std::to_string(step);
            return;
        }
        Click(next);
        const std::string title(res::LoadString(2300 + step));
        if (!WaitUntil([&] { return Text(GetDlgItem(main, StepTitle)) == title; })) {
            walk.failure = "step " + std::to_string(step) + " never shown";
            return;
        }
        walk.stepsReached.push_back(step);
        if (step != 3) continue;
        HWND loading = WaitFor([&] {
            for (HWND w : ThreadWindows(thread, "#32770"))
                if (w != main) return w;
            return static_cast<HWND>(nullptr);
        });
        walk.loadingFound = loading != nullptr;
        if (loading == nullptr) {
            walk.failure = "no Media loading dialog";
            return;
        }
        walk.loadingCaption = Text(loading);
        PressOk(loading);
        walk.loadingClosed = WaitUntil([loading] { return !IsWindow(loading); });
        if (!walk.loadingClosed) {
            walk.failure = "the Media loading dialog stayed open";
            return;
        }
    }
    HWND cut = GetDlgItem(page, mb::IdOk);
    walk.cutEnabledAtEnd = IsWindowEnabled(cut) != FALSE;
    walk.nextEnabledAtEnd = IsWindowEnabled(GetDlgItem(main, NextButton)) != FALSE;
    if (!walk.cutEnabledAtEnd) {
        walk.failure = "Cut... disabled at the last step";
        return;
    }
    Click(cut);
    // Demo mode: the mark reading pauses, succeeds, and the window ends.
    if (!WaitUntil([main] { return !IsWindow(main); })) walk.failure = "the main window stayed";
}

TEST(Win32Job, WholeCutModeJobInDemoMode) {
    const ScratchFolder scratch("osj");
    const std::string folder = scratch.Path();
    ASSERT_FALSE(folder.empty());
    const std::string mediaDir = folder + "\\Media";
    ASSERT_TRUE(CreateDirectoryA(mediaDir.c_str(), nullptr));
    const std::string shipped = ThisProgramsFolder() + "Media\\";
    win32::Win32FileSystem real;
    const std::vector<FileSystem::Entry> media = real.List(shipped, ".hcf");
    ASSERT_FALSE(media.empty()) << "no media beside the test in " << shipped;
    for (const FileSystem::Entry& e : media)
        ASSERT_TRUE(
            CopyFileA((shipped + e.name).c_str(), (mediaDir + "\\" + e.name).c_str(), TRUE));
    const std::string extraName = NonAsciiMediumName();
    if (!extraName.empty()) {
        const std::string file = mediaDir + "\\" + win32::Utf8ToCodePage(extraName) + ".hcf";
        ASSERT_TRUE(CopyFileA((shipped + "Vinyl Film.hcf").c_str(), file.c_str(), TRUE));
    }
    const std::string ini = folder + "\\OSACTL.INI";
    {
        std::ofstream out(ini, std::ios::binary);
        out << "[Main_Section]\r\nUnit=0\r\n";
    }

    ResetAppState();
    win32::Win32WindowHost host(dlg::DialogTemplates(res::AllDialogTemplates()),
                                GetModuleHandleW(nullptr));
    win32::Win32InstanceGuard guard;
    win32::Win32ProcessLauncher launcher;
    win32::Win32ProfileStore profiles;
    ScratchProgramFiles files(folder + "\\OSACTL.EXE");
    win32::Win32CutterPort cutter;
    win32::Win32PrintSpooler spooler;
    win32::Win32DebugTrace trace;
    const win32::AnsiMediaNames mediaNames;
    Services services{&host, &guard};
    services.processes = &launcher;
    services.profiles = &profiles;
    services.files = &files;
    services.cutter = &cutter;
    services.spooler = &spooler;
    services.trace = &trace;
    services.mediaNames = &mediaNames;
    const Services previous = InstallServices(services);

    Walk walk;
    std::thread watcher([&walk, thread = GetCurrentThreadId()] {
        WalkTheJob(thread, walk);
        if (!walk.failure.empty()) CloseEverything(thread);
    });
    const std::vector<std::string_view> args{"OSACTL.EXE", "-DEMO",         "-CUTMODE",
                                             "-FN0",       "-TB23,150,100", "-TB51,10"};
    const int exitCode =
        RunController(reinterpret_cast<std::uintptr_t>(GetModuleHandleW(nullptr)), args);
    watcher.join();
    InstallServices(previous);

    EXPECT_EQ(walk.failure, "");
    ASSERT_TRUE(walk.mainFound);
    ASSERT_TRUE(walk.pageFound) << "the cut settings page is a child dialog of the main window";
    EXPECT_FALSE(walk.cutEnabledAtStart);
    EXPECT_EQ(walk.currentLabel, StepHighlightColour);
    EXPECT_EQ(walk.otherLabel, LabelColour);
    EXPECT_EQ(walk.stepsReached, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_TRUE(walk.loadingFound);
    if (const res::DialogTemplate* t = res::FindDialogTemplate(ids::DlgMediaLoading)) {
        EXPECT_EQ(walk.loadingCaption, t->caption);
    }
    EXPECT_TRUE(walk.cutEnabledAtEnd);
    EXPECT_FALSE(walk.nextEnabledAtEnd);
    EXPECT_EQ(walk.mediaShown.size(), media.size() + (extraName.empty() ? 0 : 1));
    if (!extraName.empty()) {
        std::string shown;
        for (const std::string& name : walk.mediaShown)
            shown += "\n  " + name;
        EXPECT_NE(std::find(walk.mediaShown.begin(), walk.mediaShown.end(), extraName),
                  walk.mediaShown.end())
            << extraName << " is not among the media shown:" << shown;
    }
    EXPECT_EQ(exitCode, ExitCut);

    const std::string settings = ReadFile(ini);
    for (const char* line : {"PosSet=1", "TomboDisX=150000", "Direction=0"})
        EXPECT_NE(settings.find(line), std::string::npos) << line << " in\n" << settings;
}

} // namespace
} // namespace osa
