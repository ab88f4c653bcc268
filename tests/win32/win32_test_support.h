// Helpers for the tests that drive real windows: finding windows of a thread
// or a process, reading them as a user would see them, and a watcher thread
// that answers a modal box while the test's own thread sits in its loop.
//
// Waiting is by polling with a long patience (60 s): a window that never
// comes makes the test fail instead of hang. No test asserts on how long
// anything took.
#pragma once
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/win32_api.h"

namespace osa::wintest {

inline constexpr std::chrono::seconds Patience{60};

std::string ClassName(HWND window);
std::string Text(HWND window);

// Visible top-level windows of a thread or a process, optionally of one class.
std::vector<HWND> ThreadWindows(DWORD threadId, const char* className = nullptr);
std::vector<HWND> ProcessWindows(DWORD processId, const char* className = nullptr);
// Direct children, in creation (z) order.
std::vector<HWND> Children(HWND parent);

// Calls `find` until it gives a window, or `Patience` has passed (nullptr).
HWND WaitFor(const std::function<HWND()>& find);
// Calls `ready` until it is true, or `patience` has passed (false).
bool WaitUntil(const std::function<bool()>& ready, std::chrono::milliseconds patience = Patience);

// The icon a message box shows, told by the shared system icon its icon
// static holds. Other: an icon that is none of the four (a system may draw
// its boxes with icons of its own).
enum class BoxIcon { None, Hand, Exclamation, Asterisk, Question, Other };
BoxIcon MessageBoxIcon(HWND box);
const char* ToString(BoxIcon icon);

// Picture statics of a dialog (SS_BITMAP / SS_ICON): whether each one that
// exists holds its picture.
struct Pictures {
    int bitmaps = 0, bitmapsLoaded = 0;
    int icons = 0, iconsLoaded = 0;
};
Pictures PicturesOf(HWND dialog);

// Presses OK as the user would: WM_COMMAND IDOK, BN_CLICKED, from the button.
void PressOk(HWND dialog);

// A new empty folder in the temporary folder, removed with all it holds when
// this goes. Where a test runs the program, so that the settings and media
// it writes beside itself never land in the build's program folder.
class ScratchFolder {
  public:
    explicit ScratchFolder(const char* prefix);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Empty when the folder could not be made.
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

// The folder of this test program, with its trailing backslash.
std::string ThisProgramsFolder();

// The screen's scale in per cent: its dots per inch * 100 / 96.
int ScreenScale();

// Saves what the screen shows of `window` (its whole rectangle) as a 24-bit
// BMP file `name`.bmp in the build's screenshot folder for the screen's
// scale (screenshots/win32/<scale>), for a person to look at. False when it
// could not be written.
bool SaveScreenshot(HWND window, const std::string& name);

} // namespace osa::wintest
