// A whole cut-mode job in real Win32 windows, in demo mode: the main window,
// its page, the guide and the Media loading dialog, clicked through by a
// watcher thread as a user would, with the Win32 services on real files in
// a scratch program folder. One medium there has a name outside ASCII in the
// ANSI code page, to show the name conversion on screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "controller/app_state.h"
#include "controller/res/control_ids.h"
#include "controller/res/resource_ids.h"
#include "controller/res/resources.h"
#include "controller/shell/entry.h"
#include "controller/ui/main_dialog.h"
#include "platform/memory/memory_cutter_port.h"
#include "platform/memory/memory_debug_trace.h"
#include "platform/memory/memory_instance_guard.h"
#include "platform/memory/memory_print_spooler.h"
#include "platform/services.h"
#include "platform/win32/win32_cutter_port.h"
#include "platform/win32/win32_debug_trace.h"
#include "platform/win32/win32_dialog_template.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_input_hooks.h"
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

// As the program's manifest declares: aware of the system's dpi, so that on
// a screen of 200 % the dialogs are laid out in real pixels (before any
// window is made).
[[maybe_unused]] const bool DpiAware = SetProcessDPIAware() != FALSE;

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
    bool landscapeChecked = true;     // the session walk, before "Close"
    std::vector<std::string> misfits; // the fit walk: texts that do not fit
    std::string failure;              // what the walk stopped at, if it did
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

// The main window of the controller running on `thread`, once it is there.
HWND FindMainWindow(DWORD thread) {
    const std::string caption(res::LoadString(ids::StrCaption));
    return WaitFor([&] {
        for (HWND w : ThreadWindows(thread, "#32770"))
            if (Text(w) == caption && GetDlgItem(w, NextButton) != nullptr) return w;
        return static_cast<HWND>(nullptr);
    });
}

// "Next >>" from step 1 to `lastStep`, closing the Media loading dialog
// with OK at step 3; what it saw goes to `walk`. False, with the failure in
// `walk`, when a step is not reached.
bool WalkTheGuide(DWORD thread, HWND main, int lastStep, Walk& walk) {
    const res::DialogTemplate* loadingTemplate = res::FindDialogTemplate(ids::DlgMediaLoading);
    const std::string loadingCaption(loadingTemplate != nullptr ? loadingTemplate->caption : "");
    for (int step = 1; step <= lastStep; ++step) {
        HWND next = GetDlgItem(main, NextButton);
        if (!IsWindowEnabled(next)) {
            walk.failure = "Next >> disabled before step " + std::to_string(step);
            return false;
        }
        Click(next);
        const std::string title(res::LoadString(2300 + step));
        if (!WaitUntil([&] { return Text(GetDlgItem(main, StepTitle)) == title; })) {
            walk.failure = "step " + std::to_string(step) + " never shown";
            return false;
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
            return false;
        }
        walk.loadingCaption = Text(loading);
        PressOk(loading);
        walk.loadingClosed = WaitUntil([loading] { return !IsWindow(loading); });
        if (!walk.loadingClosed) {
            walk.failure = "the Media loading dialog stayed open";
            return false;
        }
    }
    return true;
}

void WalkTheJob(DWORD thread, Walk& walk) {
    HWND main = FindMainWindow(thread);
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

    if (!WalkTheGuide(thread, main, LastStep, walk)) return;
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

// Copies the media shipped beside the test into `mediaDir` (made here);
// the files copied, none when something failed.
std::vector<FileSystem::Entry> CopyShippedMedia(const std::string& mediaDir) {
    const std::string shipped = ThisProgramsFolder() + "Media\\";
    if (!CreateDirectoryA(mediaDir.c_str(), nullptr)) return {};
    win32::Win32FileSystem real;
    const std::vector<FileSystem::Entry> media = real.List(shipped, ".hcf");
    for (const FileSystem::Entry& e : media)
        if (!CopyFileA((shipped + e.name).c_str(), (mediaDir + "\\" + e.name).c_str(), TRUE))
            return {};
    return media;
}

TEST(Win32Job, WholeCutModeJobInDemoMode) {
    const ScratchFolder scratch("osj");
    const std::string folder = scratch.Path();
    ASSERT_FALSE(folder.empty());
    const std::string mediaDir = folder + "\\Media";
    const std::string shipped = ThisProgramsFolder() + "Media\\";
    const std::vector<FileSystem::Entry> media = CopyShippedMedia(mediaDir);
    ASSERT_FALSE(media.empty()) << "no media beside the test in " << shipped;
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
    const Services previous = InstallServices({.windows = &host,
                                               .instance = &guard,
                                               .profiles = &profiles,
                                               .files = &files,
                                               .processes = &launcher,
                                               .cutter = &cutter,
                                               .spooler = &spooler,
                                               .trace = &trace,
                                               .mediaNames = &mediaNames});

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

// The screen point of dialog point (x, y) on `page`.
POINT PagePoint(HWND page, int x, int y) {
    RECT r{x, y, x, y};
    MapDialogRect(page, &r);
    POINT p{r.left, r.top};
    ClientToScreen(page, &p);
    return p;
}

// The screen point of the up button's middle on `page`: the direction pad
// is centred on dialog point (261, 169), up is 32 pixels high, g (2 dialog
// units) above the middle's square.
POINT UpButtonOf(HWND page) {
    RECT g{0, 0, 2, 0};
    MapDialogRect(page, &g);
    POINT p = PagePoint(page, 261, 169);
    p.y -= g.right + 32;
    return p;
}

void SendMouse(POINT at, DWORD button) {
    INPUT in[2] = {};
    in[0].type = INPUT_MOUSE;
    in[0].mi.dx = MulDiv(at.x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
    in[0].mi.dy = MulDiv(at.y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
    in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    in[1].type = INPUT_MOUSE;
    in[1].mi.dwFlags = button;
    SendInput(2, in, sizeof(INPUT));
}

void SendKey(WORD key, DWORD flags) {
    INPUT in[1] = {};
    in[0].type = INPUT_KEYBOARD;
    in[0].ki.wVk = key;
    in[0].ki.dwFlags = flags;
    SendInput(1, in, sizeof(INPUT));
}

// A click as the user makes it: down and up at one point, a moment apart.
void ClickAt(POINT at) {
    SendMouse(at, MOUSEEVENTF_LEFTDOWN);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    SendMouse(at, MOUSEEVENTF_LEFTUP);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
}

// Types `text` as key presses of its characters (KEYEVENTF_UNICODE), into
// whatever has the focus.
void TypeText(const std::wstring& text) {
    for (wchar_t c : text) {
        INPUT in[2] = {};
        in[0].type = in[1].type = INPUT_KEYBOARD;
        in[0].ki.wScan = in[1].ki.wScan = static_cast<WORD>(c);
        in[0].ki.dwFlags = KEYEVENTF_UNICODE;
        in[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        SendInput(2, in, sizeof(INPUT));
    }
}

// Clicks into edit `control` and replaces its text by typing.
void RetypeEdit(HWND control, const std::wstring& text) {
    RECT r{};
    GetWindowRect(control, &r);
    ClickAt(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    SendKey(VK_END, 0);
    SendKey(VK_END, KEYEVENTF_KEYUP);
    SendKey(VK_SHIFT, 0);
    SendKey(VK_HOME, 0);
    SendKey(VK_HOME, KEYEVENTF_KEYUP);
    SendKey(VK_SHIFT, KEYEVENTF_KEYUP);
    TypeText(text);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
}

// RetypeEdit again while the edit does not hold the text (real input is now
// and then lost under Wine on a loaded machine; retyping selects all first,
// so a late first typing does no harm), at most three times.
void RetypeEditUntilItHolds(HWND control, const std::wstring& text, const std::string& holds) {
    for (int tries = 0; tries < 3; ++tries) {
        RetypeEdit(control, text);
        if (WaitUntil([&] { return Text(control) == holds; }, std::chrono::seconds(2))) return;
    }
}

// The top-level dialog of `thread` with caption `caption`, once it is there.
HWND WaitForDialog(DWORD thread, const std::string& caption) {
    return WaitFor([thread, caption] {
        for (HWND w : ThreadWindows(thread, "#32770"))
            if (Text(w) == caption) return w;
        return HWND{};
    });
}

HWND WaitForMessageBox(DWORD thread) {
    return WaitFor([thread] {
        for (HWND w : ThreadWindows(thread, "#32770"))
            if (!Text(GetDlgItem(w, 0xFFFF)).empty()) return w;
        return HWND{};
    });
}

void PressEnterOn(HWND window) {
    SetForegroundWindow(window);
    SendKey(VK_RETURN, 0);
    SendKey(VK_RETURN, KEYEVENTF_KEYUP);
}

// A run of the controller in real Win32 windows, with the thread's real
// input hooks, on a scratch program folder holding the shipped media and
// the settings `ini`; the cutter, spooler and trace are the in-memory ones,
// so that what the cutter got (or, in demo mode, the trace) is read
// afterwards. The instance guard is in memory too: the whole-job test before
// holds the session's mutex.
struct ScratchRun {
    ScratchRun(const char* prefix, std::string_view ini) : scratch(prefix), folder(scratch.Path()) {
        if (folder.empty() || CopyShippedMedia(folder + "\\Media").empty()) return;
        std::ofstream out(folder + "\\OSACTL.INI", std::ios::binary);
        out << ini;
        ready = out.good();
    }

    // Runs the controller with `args` while `walkOn` does the user's part in
    // a watcher thread; the controller's exit code.
    int Run(const std::vector<std::string_view>& args,
            const std::function<void(DWORD, Walk&)>& walkOn) {
        ResetAppState();
        const Services previous = InstallServices({.windows = &host,
                                                   .instance = &guard,
                                                   .profiles = &profiles,
                                                   .files = &files,
                                                   .processes = &launcher,
                                                   .cutter = &cutter,
                                                   .spooler = &spooler,
                                                   .trace = &trace,
                                                   .mediaNames = &mediaNames,
                                                   .hooks = &hooks});
        std::thread watcher([this, walkOn, thread = GetCurrentThreadId()] {
            walkOn(thread, walk);
            if (!walk.failure.empty()) CloseEverything(thread);
        });
        const int exitCode =
            RunController(reinterpret_cast<std::uintptr_t>(GetModuleHandleW(nullptr)), args);
        watcher.join();
        InstallServices(previous);
        return exitCode;
    }

    const ScratchFolder scratch;
    const std::string folder;
    bool ready = false;
    win32::Win32WindowHost host{dlg::DialogTemplates(res::AllDialogTemplates()),
                                GetModuleHandleW(nullptr)};
    MemoryInstanceGuard guard;
    win32::Win32ProcessLauncher launcher;
    win32::Win32ProfileStore profiles;
    ScratchProgramFiles files{folder + "\\OSACTL.EXE"};
    MemoryCutterPort cutter;
    MemoryPrintSpooler spooler;
    MemoryDebugTrace trace;
    const win32::AnsiMediaNames mediaNames;
    win32::Win32InputHooks hooks;
    Walk walk;
};

// The blade pad at step 4 (reading at the blade position) with real input:
// a press on the up button and a release elsewhere, then "Use Keyboard" and
// the up arrow through the thread's hooks, then "Test Cut" answered with
// Enter on its question, and "Set Origin"; the cutter is the in-memory one,
// so that the bytes it took can be read afterwards.
void WalkThePad(DWORD thread, Walk& walk) {
    HWND main = FindMainWindow(thread);
    HWND page = main != nullptr ? FindPage(main) : nullptr;
    if (page == nullptr) {
        walk.failure = "no main window with its page";
        return;
    }
    if (!WalkTheGuide(thread, main, 4, walk)) return;
    SetForegroundWindow(main);
    SendMouse(UpButtonOf(page), MOUSEEVENTF_LEFTDOWN);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    RECT r{};
    GetWindowRect(main, &r);
    SendMouse(POINT{r.left + 10, r.bottom - 10}, MOUSEEVENTF_LEFTUP); // outside the pad
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    // Then with the up arrow, through the thread's keyboard hook.
    Click(GetDlgItem(page, ctl::UseKeyboard));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    SendKey(VK_UP, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    SendKey(VK_UP, KEYEVENTF_KEYUP);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    // "Test Cut" works outside the guide with the conditions adjusted ("Set
    // Origin" without marks, as this job has none).
    Click(GetDlgItem(main, ctl::GuideToggle));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    if (IsDlgButtonChecked(page, ctl::AdjustSettings) != BST_CHECKED)
        Click(GetDlgItem(page, ctl::AdjustSettings));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    // The click on "Test Cut" also ends keyboard positioning, and reaches
    // the page: the question comes, and Enter takes its default, OK.
    ClickAt(PagePoint(page, 280, 82));
    HWND question = WaitForMessageBox(thread);
    if (question == nullptr) {
        walk.failure = "no question after Test Cut";
        return;
    }
    PressEnterOn(question);
    if (!WaitUntil([question] { return !IsWindow(question); })) {
        walk.failure = "the test cut's question stayed";
        return;
    }
    SetForegroundWindow(main);
    ClickAt(PagePoint(page, 53, 204)); // Set Origin: no question
    PostMessageW(page, WM_COMMAND, MAKEWPARAM(mb::IdCancel, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, mb::IdCancel)));
    if (!WaitUntil([main] { return !IsWindow(main); })) walk.failure = "the main window stayed";
}

TEST(Win32Job, TheBladePadMovesTheBladeWhileThePressOrTheArrowKeyLasts) {
    ScratchRun run("osp", "[Main_Section]\r\nUnit=0\r\nTomboAutoRead=0\r\nPosSet=1\r\n");
    ASSERT_TRUE(run.ready);
    const int exitCode =
        run.Run({"OSACTL.EXE", "-CUTMODE", "-FN0", "-NOTRM", "-TB51,10"}, WalkThePad);
    const Walk& walk = run.walk;
    const MemoryCutterPort& cutter = run.cutter;

    EXPECT_EQ(walk.failure, "");
    EXPECT_EQ(exitCode, 1); // cancelled
    std::vector<std::string> moves;
    for (const std::string& w : cutter.writes)
        if (!w.empty() && w[0] == '\x1b' && w.size() == 3 && w[1] == '\0') moves.push_back(w);
    const std::string up("\x1b\x00\x02", 3), stop("\x1b\x00\x00", 3);
    EXPECT_EQ(moves, (std::vector<std::string>{up, stop, up, stop}));
    std::vector<std::string> cutAndOrigin;
    for (const std::string& w : cutter.writes)
        if (w == "FH\x03" || w == "FJ\x03") cutAndOrigin.push_back(w);
    EXPECT_EQ(cutAndOrigin, (std::vector<std::string>{"FH\x03", "FJ\x03"}));
}

// Calibration (OK on its notice, a step of the Y bar to the right, a new
// feed correction typed, Enter), then Add Media (a name typed, Enter), then
// "Close".
void WalkTheSecondaryDialogs(DWORD thread, Walk& walk) {
    HWND main = FindMainWindow(thread);
    HWND page = main != nullptr ? FindPage(main) : nullptr;
    if (page == nullptr) {
        walk.failure = "no main window with its page";
        return;
    }
    SetForegroundWindow(main);
    Click(GetDlgItem(page, ctl::Calibration));
    HWND notice = WaitForMessageBox(thread);
    if (notice == nullptr) {
        walk.failure = "no notice before Calibration";
        return;
    }
    PressEnterOn(notice);
    HWND calibration = WaitForDialog(thread, std::string(res::LoadString(2001)));
    if (calibration == nullptr) {
        walk.failure = "no Calibration dialog";
        return;
    }
    // The dialog is found as soon as it exists; the click must wait until
    // it is shown and in front, or it lands on the window under it.
    SetForegroundWindow(calibration);
    (void)WaitUntil([calibration] {
        return IsWindowVisible(calibration) && GetForegroundWindow() == calibration;
    });
    const std::string yBefore = Text(GetDlgItem(calibration, 5114));
    // What the bar sends for a click on its right arrow. (A click sent with
    // SendInput was now and then lost under Wine on a loaded machine; real
    // input on scroll bars is covered by the keyboard and conformance tests.)
    HWND bar = GetDlgItem(calibration, 5131);
    SendMessageW(calibration, WM_HSCROLL, MAKEWPARAM(SB_LINERIGHT, 0),
                 reinterpret_cast<LPARAM>(bar));
    SendMessageW(calibration, WM_HSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0),
                 reinterpret_cast<LPARAM>(bar));
    (void)WaitUntil([&] { return Text(GetDlgItem(calibration, 5114)) != yBefore; });
    walk.mediaShown.push_back(Text(GetDlgItem(calibration, 5114))); // the Y label
    RetypeEditUntilItHolds(GetDlgItem(calibration, 5105), L"-0.75", "-0.75");
    PressEnterOn(calibration);
    if (!WaitUntil([calibration] { return !IsWindow(calibration); })) {
        walk.failure = "the Calibration dialog stayed";
        return;
    }

    SetForegroundWindow(main);
    if (IsDlgButtonChecked(page, ctl::AdjustSettings) != BST_CHECKED)
        Click(GetDlgItem(page, ctl::AdjustSettings));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Click(GetDlgItem(page, ctl::AddMedia));
    HWND addMedia = WaitForDialog(thread, std::string(res::LoadString(2002)));
    if (addMedia == nullptr) {
        walk.failure = "no Add Media dialog";
        return;
    }
    SetForegroundWindow(addMedia);
    RetypeEditUntilItHolds(GetDlgItem(addMedia, 5169), L"Kraft Board", "Kraft Board");
    PressEnterOn(addMedia);
    if (!WaitUntil([addMedia] { return !IsWindow(addMedia); })) {
        walk.failure = "the Add Media dialog stayed";
        return;
    }
    walk.mediaShown.push_back(Text(GetDlgItem(page, MediaList))); // the medium chosen
    PostMessageW(page, WM_COMMAND, MAKEWPARAM(mb::IdOk, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, mb::IdOk)));
    if (!WaitUntil([main] { return !IsWindow(main); })) walk.failure = "the main window stayed";
}

TEST(Win32Job, CalibrationAndAddMediaInDemoMode) {
    ScratchRun run("osd", "[Main_Section]\r\nUnit=0\r\n");
    ASSERT_TRUE(run.ready);
    // Demo mode: the trace is all that goes out.
    const int exitCode = run.Run({"OSACTL.EXE", "-DEMO"}, WalkTheSecondaryDialogs);
    const Walk& walk = run.walk;
    const std::string& folder = run.folder;

    EXPECT_EQ(walk.failure, "");
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(run.cutter.writes.empty());
    std::vector<std::string> commands;
    for (const TraceEntry& e : run.trace.entries)
        if (e.command.rfind("TB72", 0) == 0 || e.command.rfind("FB", 0) == 0)
            commands.push_back(e.command);
    // Demo mode starts from no correction (40, 40) and 0.00 %.
    EXPECT_EQ(commands, (std::vector<std::string>{"TB72,0,1\x03", "FB-75,0\x03"}));
    EXPECT_EQ(walk.mediaShown, (std::vector<std::string>{"Y:1", "Kraft Board"}));
    const std::string file = ReadFile(folder + "\\Media\\Kraft Board.hcf");
    EXPECT_NE(file.find("ConfigurationMode=2"), std::string::npos) << file;
}

// One stand-alone session: the next medium, "Adjust Settings", one step
// slower, "Portrait", "Registration Marks", "inch", "Close"; with the mouse
// (real clicks at the controls) or with the keyboard alone (Tab until the
// control has the focus, then the key a user presses there: an arrow on the
// list, the space bar on a button, an arrow on the bar or from the first
// button of a radio group).
enum class Way { Mouse, Keyboard };

HWND FocusOf(DWORD thread) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

void PressKey(WORD key) {
    SendKey(key, 0);
    SendKey(key, KEYEVENTF_KEYUP);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
}

bool TabTo(DWORD thread, int id) {
    for (int presses = 0; presses < 80; ++presses) {
        const HWND focus = FocusOf(thread);
        if (focus != nullptr && GetDlgCtrlID(focus) == id) return true;
        SendKey(VK_TAB, 0);
        SendKey(VK_TAB, KEYEVENTF_KEYUP);
        (void)WaitUntil([&] { return FocusOf(thread) != focus; });
    }
    return false;
}

POINT CentreOf(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void WalkTheSession(Way way, DWORD thread, Walk& walk) {
    HWND main = FindMainWindow(thread);
    HWND page = main != nullptr ? FindPage(main) : nullptr;
    if (page == nullptr) {
        walk.failure = "no main window with its page";
        return;
    }
    SetForegroundWindow(main);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    HWND list = GetDlgItem(page, MediaList);
    const auto next = static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0)) + 1;
    // Tab to `focus` and press `key`, or click control `id`.
    auto use = [&](int id, int focus, WORD key) {
        if (way == Way::Keyboard) {
            if (!TabTo(thread, focus)) walk.failure = "Tab does not reach " + std::to_string(focus);
            PressKey(key);
        } else {
            ClickAt(CentreOf(GetDlgItem(page, id)));
        }
    };
    if (way == Way::Keyboard) {
        use(MediaList, MediaList, VK_DOWN);
    } else {
        ClickAt(CentreOf(list));
        COMBOBOXINFO info{};
        info.cbSize = sizeof(info);
        GetComboBoxInfo(list, &info);
        RECT item{};
        SendMessageW(info.hwndList, LB_GETITEMRECT, static_cast<WPARAM>(next),
                     reinterpret_cast<LPARAM>(&item));
        POINT at{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
        ClientToScreen(info.hwndList, &at);
        ClickAt(at);
    }
    use(ctl::AdjustSettings, ctl::AdjustSettings, VK_SPACE);
    if (way == Way::Keyboard) {
        use(ctl::SpeedBar, ctl::SpeedBar, VK_LEFT);
    } else {
        RECT bar{};
        GetWindowRect(GetDlgItem(page, ctl::SpeedBar), &bar);
        // A quick click: held longer, the arrow repeats its step.
        const POINT arrow{bar.left + 4, (bar.top + bar.bottom) / 2};
        SendMouse(arrow, MOUSEEVENTF_LEFTDOWN);
        SendMouse(arrow, MOUSEEVENTF_LEFTUP);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    use(ctl::Portrait, ctl::Landscape, VK_RIGHT);
    use(ctl::RegistrationMarks, ctl::RegistrationMarks, VK_SPACE);
    use(ctl::UnitInch, ctl::UnitMm, VK_RIGHT);
    walk.mediaShown.push_back(Text(list));
    walk.landscapeChecked = IsDlgButtonChecked(page, ctl::Landscape) == BST_CHECKED;
    use(mb::IdOk, mb::IdOk, VK_SPACE); // "Close"
    if (!WaitUntil([main] { return !IsWindow(main); })) walk.failure += "; the main window stayed";
}

struct SessionResult {
    std::string failure;
    int exitCode = -1;
    std::vector<std::string> sent;
    std::string settings;
    std::vector<std::string> medium;
    bool landscapeAfter = true;
};

SessionResult RunTheSession(Way way) {
    ScratchRun run("osk", "[Main_Section]\r\nDirection=0\r\nUnit=0\r\n");
    SessionResult result;
    if (!run.ready) {
        result.failure = "no scratch folder";
        return result;
    }
    result.exitCode = run.Run(
        {"OSACTL.EXE"}, [way](DWORD thread, Walk& walk) { WalkTheSession(way, thread, walk); });
    result.failure = run.walk.failure;
    result.sent = run.cutter.writes;
    result.settings = ReadFile(run.folder + "\\OSACTL.INI");
    result.medium = run.walk.mediaShown;
    result.landscapeAfter = run.walk.landscapeChecked;
    return result;
}

TEST(Win32Job, AKeyboardOnlySessionSendsWhatTheMouseSends) {
    const SessionResult mouse = RunTheSession(Way::Mouse);
    EXPECT_EQ(mouse.failure, "");
    EXPECT_EQ(mouse.exitCode, 0);
    EXPECT_NE(std::find(mouse.sent.begin(), mouse.sent.end(), "FN1\x03"), mouse.sent.end());
    EXPECT_NE(std::find(mouse.sent.begin(), mouse.sent.end(), "!9\x03"), mouse.sent.end());
    EXPECT_NE(mouse.settings.find("Unit=1"), std::string::npos) << mouse.settings;
    EXPECT_FALSE(mouse.landscapeAfter);

    const SessionResult keys = RunTheSession(Way::Keyboard);
    EXPECT_EQ(keys.failure, "");
    EXPECT_EQ(keys.exitCode, 0);
    EXPECT_EQ(keys.sent, mouse.sent);
    EXPECT_EQ(keys.settings, mouse.settings);
    EXPECT_EQ(keys.medium, mouse.medium);
    EXPECT_FALSE(keys.landscapeAfter);
}

// Every text of the main window and its page fits its control at each step
// of the guide, measured in the control's own font as Windows draws it:
// statics wrapped at their width (DrawText), buttons on one line beside
// their box. Misfits name the step, the control and the text.
std::string MisfitOf(HWND control) {
    const std::wstring text = [&] {
        std::wstring t(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
        t.resize(static_cast<std::size_t>(
            GetWindowTextW(control, t.data(), static_cast<int>(t.size()))));
        return t;
    }();
    if (text.empty()) return {};
    const std::string cls = ClassName(control);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    RECT client{};
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    std::string why;
    if (cls == "Static") {
        const LONG type = style & SS_TYPEMASK;
        if (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT) {
            RECT need{0, 0, client.right, 0};
            DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &need,
                      DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
            if (need.right > client.right || need.bottom > client.bottom)
                why = "needs " + std::to_string(need.right) + " x " + std::to_string(need.bottom) +
                      " of " + std::to_string(client.right) + " x " + std::to_string(client.bottom);
        }
    } else if (cls == "Button") {
        const LONG type = style & BS_TYPEMASK;
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        int room = client.right;
        if (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX || type == BS_AUTORADIOBUTTON ||
            type == BS_RADIOBUTTON)
            room = (style & BS_PUSHLIKE) != 0 ? client.right - 4 : client.right - 17;
        else if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)
            room = client.right - 2; // inside the frame's outer lines
        else
            room = size.cx; // group boxes draw their title over the frame
        if (size.cx > room)
            why = "needs " + std::to_string(size.cx) + " px of " + std::to_string(room);
    }
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    if (why.empty()) return {};
    return "control " + std::to_string(GetDlgCtrlID(control)) + " \"" + win32::Narrow(text) +
           "\": " + why;
}

// The picture statics of `dialog` (made from template `templateId`) that do
// not suit the screen: each must show one of its bitmap's drawings (its
// size at 100 % times one of the scales it is drawn at, not a stretched
// copy), and on a screen of 175 % or more a drawing of at least 150 % (the
// statics come in template order).
std::vector<std::string> PictureMisfits(HWND dialog, int templateId) {
    std::vector<dlg::ControlTemplate> pictures;
    if (const res::DialogTemplate* t = res::FindDialogTemplate(templateId))
        for (const dlg::ControlTemplate& c : t->controls)
            if (c.cls == dlg::ControlClass::Picture) pictures.push_back(c);
    auto sizeOf = [](HBITMAP b) {
        BITMAP info{};
        return (b != nullptr && GetObjectW(b, sizeof info, &info) != 0)
                   ? SIZE{info.bmWidth, info.bmHeight}
                   : SIZE{};
    };
    const int least = ScreenScale() >= 175 ? 150 : 100;
    std::vector<std::string> out;
    std::size_t k = 0;
    for (HWND child : Children(dialog)) {
        if (ClassName(child) != "Static" ||
            (GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP)
            continue;
        if (k >= pictures.size()) break;
        const dlg::ControlTemplate& c = pictures[k++];
        HBITMAP base = static_cast<HBITMAP>(LoadImageW(
            GetModuleHandleW(nullptr), MAKEINTRESOURCEW(c.resource), IMAGE_BITMAP, 0, 0, 0));
        const SIZE at100 = sizeOf(base);
        if (base != nullptr) DeleteObject(base);
        const SIZE shown =
            sizeOf(reinterpret_cast<HBITMAP>(SendMessageW(child, STM_GETIMAGE, IMAGE_BITMAP, 0)));
        int drawnAt = 0;
        for (int scale : win32::BitmapScales)
            if (std::abs(shown.cx - MulDiv(at100.cx, scale, 100)) <= 1 &&
                std::abs(shown.cy - MulDiv(at100.cy, scale, 100)) <= 1)
                drawnAt = scale;
        const std::string what = "bitmap " + std::to_string(c.resource) + " shown at " +
                                 std::to_string(shown.cx) + " x " + std::to_string(shown.cy);
        if (drawnAt == 0)
            out.push_back(what + ": not one of its drawings");
        else if (drawnAt < least)
            out.push_back(what + ": drawn for " + std::to_string(drawnAt) + " % on a screen of " +
                          std::to_string(ScreenScale()) + " %");
    }
    return out;
}

void WalkMeasuringTheSteps(DWORD thread, Walk& walk) {
    HWND main = FindMainWindow(thread);
    HWND page = main != nullptr ? FindPage(main) : nullptr;
    if (page == nullptr) {
        walk.failure = "no main window with its page";
        return;
    }
    for (int step = 1; step <= 6; ++step) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        for (HWND window : {main, page})
            for (HWND child : Children(window))
                if (const std::string m = MisfitOf(child); !m.empty())
                    walk.misfits.push_back("step " + std::to_string(step) + ": " + m);
        for (const std::string& m : PictureMisfits(page, ids::DlgCutSettings))
            walk.misfits.push_back("step " + std::to_string(step) + ": " + m);
        (void)SaveScreenshot(main, "main_step" + std::to_string(step));
        walk.stepsReached.push_back(step);
        if (step == 6) break;
        Click(GetDlgItem(main, NextButton));
        const std::string title(res::LoadString(2300 + step));
        if (!WaitUntil([&] { return Text(GetDlgItem(main, StepTitle)) == title; })) {
            walk.failure = "step " + std::to_string(step + 1) + " never shown";
            return;
        }
        if (step == 3) { // "Step4:Media loading" comes with its dialog
            HWND loading = WaitFor([&] {
                for (HWND w : ThreadWindows(thread, "#32770"))
                    if (w != main && w != page) return w;
                return HWND{};
            });
            if (loading == nullptr) {
                walk.failure = "no Media loading dialog";
                return;
            }
            for (HWND child : Children(loading))
                if (const std::string m = MisfitOf(child); !m.empty())
                    walk.misfits.push_back("media loading: " + m);
            for (const std::string& m : PictureMisfits(loading, ids::DlgMediaLoading))
                walk.misfits.push_back("media loading: " + m);
            (void)SaveScreenshot(loading, "media_loading");
            PressOk(loading);
            (void)WaitUntil([loading] { return !IsWindow(loading); });
        }
    }
    PostMessageW(page, WM_COMMAND, MAKEWPARAM(mb::IdCancel, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, mb::IdCancel)));
    if (!WaitUntil([main] { return !IsWindow(main); })) walk.failure = "the main window stayed";
}

TEST(Win32Job, EveryTextOfTheMainWindowFitsAtEachStep) {
    ScratchRun run("osf", "[Main_Section]\r\nTomboAutoRead=1\r\n");
    ASSERT_TRUE(run.ready);
    (void)run.Run({"OSACTL.EXE", "-DEMO", "-CUTMODE", "-FN0", "-NOTRM"}, WalkMeasuringTheSteps);
    EXPECT_EQ(run.walk.failure, "");
    EXPECT_EQ(run.walk.stepsReached, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    for (const std::string& misfit : run.walk.misfits)
        ADD_FAILURE() << misfit;
}

// A procedure that handles nothing, for a dialog shown only to be measured.
std::intptr_t Silent(Window, const DialogMessage&) {
    return 0;
}

// The dialogs the walk above does not reach, made on their own: every text
// fits, every picture is the one drawn for the screen, and the pad's hot
// spots are the squares its icons are drawn in.
TEST(Win32Job, EveryTextOfTheOtherDialogsFitsAndThePicturesSuitTheScreen) {
    win32::Win32WindowHost host{dlg::DialogTemplates(res::AllDialogTemplates()),
                                GetModuleHandleW(nullptr)};
    EXPECT_EQ(host.IconSize(), GetSystemMetrics(SM_CXICON));
    for (int id : {ids::DlgCalibration, ids::DlgAbout, ids::DlgAddMedia, ids::DlgCommError,
                   ids::DlgMediaLoading}) {
        const Window dialog = host.CreateDialog(id, Window{}, Silent, 0);
        ASSERT_TRUE(dialog) << id;
        HWND h = win32::ToHwnd(dialog);
        // Numbers the program always puts in place of the placeholders, at
        // their longest.
        if (id == ids::DlgAddMedia) {
            host.SetItemText(dialog, 5172, "10");
            host.SetItemText(dialog, 5174, "30");
        }
        ShowWindow(h, SW_SHOW);
        UpdateWindow(h);
        for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);)
            DispatchMessageW(&msg);
        const std::string where = "dialog " + std::to_string(id) + ": ";
        for (HWND child : Children(h))
            if (const std::string m = MisfitOf(child); !m.empty()) ADD_FAILURE() << where << m;
        for (const std::string& m : PictureMisfits(h, id))
            ADD_FAILURE() << where << m;
        (void)SaveScreenshot(h, "dialog_" + std::to_string(id));
        DestroyWindow(h);
    }
}

// GDI objects of this process. Wine's GetGuiResources may count nothing;
// there every live GDI handle answers GetObjectType under its 16-bit index.
DWORD GdiObjects() {
    if (const DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); n != 0) return n;
    DWORD n = 0;
    for (ULONG_PTR index = 0x20; index < 0x10000; ++index)
        n += GetObjectType(reinterpret_cast<HGDIOBJ>(index << 2)) != 0 ? 1 : 0;
    return n;
}

// USER objects: GetGuiResources where it counts; else the thread's windows.
DWORD UserObjects(DWORD thread) {
    if (const DWORD n = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS); n != 0) return n;
    DWORD n = 0;
    for (HWND w : ThreadWindows(thread))
        n += 1 + static_cast<DWORD>(Children(w).size());
    return n;
}

struct Held {
    DWORD gdi = 0, user = 0;
};

// Ten thousand page actions sent to the page as its controls send them
// (media list, orientation, marks, units, the pad's up button pressed and
// let go), then "Close"; the GDI and USER objects after the first thousand
// and at the end.
void WalkTenThousandActions(DWORD thread, Walk& walk, Held& warm, Held& end) {
    HWND main = FindMainWindow(thread);
    HWND page = main != nullptr ? FindPage(main) : nullptr;
    if (page == nullptr) {
        walk.failure = "no main window with its page";
        return;
    }
    const Rect up = App().PadAreas.up;
    const LPARAM at = MAKELPARAM(up.left + 16, up.top + 16);
    HWND media = GetDlgItem(page, MediaList);
    const auto click = [page](int id) { SendMessageW(GetDlgItem(page, id), BM_CLICK, 0, 0); };
    for (int i = 0; i < 10000; ++i) {
        if (i == 1000) warm = {GdiObjects(), UserObjects(thread)};
        const bool even = (i / 8) % 2 == 0;
        switch (i % 8) {
        case 0:
        case 1:
            SendMessageW(media, CB_SETCURSEL, i % 8 == 0 ? 1 : 0, 0);
            SendMessageW(page, WM_COMMAND, MAKEWPARAM(MediaList, CBN_SELENDOK),
                         reinterpret_cast<LPARAM>(media));
            break;
        case 2:
            click(even ? ctl::Portrait : ctl::Landscape);
            break;
        case 3:
        case 5:
            click(ctl::RegistrationMarks); // on, units, off again
            break;
        case 4:
            click(even ? ctl::UnitInch : ctl::UnitMm);
            break;
        case 6:
            SendMessageW(page, WM_LBUTTONDOWN, MK_LBUTTON, at);
            break;
        default:
            SendMessageW(page, WM_LBUTTONUP, 0, at);
        }
    }
    end = {GdiObjects(), UserObjects(thread)};
    PostMessageW(page, WM_COMMAND, MAKEWPARAM(mb::IdOk, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, mb::IdOk)));
    if (!WaitUntil([main] { return !IsWindow(main); })) walk.failure = "the main window stayed";
}

TEST(Win32Job, TenThousandPageActionsHoldNoMoreGdiOrUserObjects) {
    ScratchRun run("osl", "[Main_Section]\r\nUnit=0\r\nCutCondAdjust=1\r\nPosSet=0\r\n");
    ASSERT_TRUE(run.ready);
    Held warm, end;
    const int exitCode = run.Run({"OSACTL.EXE"}, [&](DWORD thread, Walk& walk) {
        WalkTenThousandActions(thread, walk, warm, end);
    });
    EXPECT_EQ(run.walk.failure, "");
    EXPECT_EQ(exitCode, ExitClosed);
    EXPECT_GT(warm.gdi, 0u);
    // Wine's own caches move its count by an object or two either way; a
    // leak in the page's handling would add one for every few of the nine
    // thousand actions.
    EXPECT_TRUE(end.gdi <= warm.gdi + 4 && end.user <= warm.user + 4)
        << "GDI " << warm.gdi << " -> " << end.gdi << ", USER " << warm.user << " -> " << end.user;
    std::printf("long run: GDI objects %lu -> %lu, USER objects %lu -> %lu\n", warm.gdi, end.gdi,
                warm.user, end.user);
    // Two media choices, the orientation, the press and the release.
    EXPECT_GE(run.cutter.writes.size(), 9000u / 8 * 5);
}

} // namespace
} // namespace osa
