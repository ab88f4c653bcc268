// Fixture for tests of the core: fresh application state and the in-memory
// services installed for the duration of one test; and those services for
// the tests that drive real windows.
#pragma once
#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <string>
#include <utility>

#include "controller/app_state.h"
#include "controller/res/resources.h"
#include "platform/memory/memory_cutter_port.h"
#include "platform/memory/memory_debug_trace.h"
#include "platform/memory/memory_file_system.h"
#include "platform/memory/memory_input_hooks.h"
#include "platform/memory/memory_instance_guard.h"
#include "platform/memory/memory_print_spooler.h"
#include "platform/memory/memory_process_launcher.h"
#include "platform/memory/memory_profile_store.h"
#include "platform/memory/memory_window_host.h"
#include "platform/services.h"

namespace osa::test {

// A program folder in the in-memory file system: the program's path and
// the media files shipped with it, as an installation has them.
void InstallProgramFolder(MemoryFileSystem& files, const std::string& folder);

// Every in-memory service but the window host, so that a test with real
// windows can run the core on in-memory files, cutter and spooler too.
struct MemoryServices {
    MemoryInstanceGuard guard;
    MemoryProcessLauncher launcher;
    MemoryFileSystem files;
    MemoryProfileStore profiles{files};
    MemoryCutterPort cutter;
    MemoryPrintSpooler spooler;
    MemoryDebugTrace trace;
    Utf8MediaNames mediaNames;
    MemoryInputHooks hooks;

    // All of them, with `windows` as the window host.
    Services With(WindowHost& windows) {
        return {.windows = &windows,
                .instance = &guard,
                .profiles = &profiles,
                .files = &files,
                .processes = &launcher,
                .cutter = &cutter,
                .spooler = &spooler,
                .trace = &trace,
                .mediaNames = &mediaNames,
                .hooks = &hooks};
    }
};

class CoreTest : public ::testing::Test, protected MemoryServices {
  protected:
    void SetUp() override {
        ResetAppState();
        previous_ = InstallServices(With(host));
        host.AttachHooks(&hooks);
    }
    void TearDown() override { InstallServices(previous_); }

    // How many message boxes so far showed the text of string `stringId`.
    std::size_t BoxesShowing(int stringId) const {
        std::size_t n = 0;
        for (const auto& box : host.MessageBoxes())
            n += box.text.find(res::LoadString(stringId)) != std::string::npos ? 1 : 0;
        return n;
    }

    MemoryWindowHost host{dlg::DialogTemplates(res::AllDialogTemplates())};

  private:
    Services previous_{};
};

// The procedure of a stand-in main window: it only keeps its window value.
std::intptr_t MainStandIn(Window dialog, const DialogMessage& message);

// A core test on the cut settings page inside a stand-in main window (which
// only keeps its window value), with what the page start sent forgotten.
class PageTest : public CoreTest {
  protected:
    void SetUp() override;
    static Point Middle(const Rect& r) {
        return Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    Window main{};
    Window page{};
};

// A user's step that looks at (or works in) the active dialog.
inline MemoryWindowHost::UserAction OnActive(std::function<void(MemoryWindowHost&, Window)> look) {
    return [look = std::move(look)](MemoryWindowHost& h) { look(h, h.Active()); };
}

// The cutter's movement frame for the command bits `bits` (ESC 0x00 bits).
std::string MoveFrame(char bits);

} // namespace osa::test
