// OSAPROBE.EXE against the simulated cutter, run from beside the stand-in
// VORNUSBP.DLL. The test starts the probe as its debugger, so every
// OutputDebugStringA string of the probe arrives here as a debug event,
// byte for byte: the command trace, labels in code page 932 included.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_handle.h"
#include "tests/win32/simcutter_process.h"

namespace osa {
namespace {

struct ProgramRun {
    bool started = false;
    DWORD exitCode = 0;
    std::string output;               // standard output
    std::vector<std::string> strings; // OutputDebugStringA, in order
};

// Runs `program` under this process as its debugger until it ends.
ProgramRun RunDebugged(const std::string& program) {
    ProgramRun run;
    wintest::ChildWithOutput child;
    if (!wintest::StartWithOutput(program, "\"" + program + "\"", DEBUG_ONLY_THIS_PROCESS, true,
                                  child))
        return run;
    win32::UniqueHandle& process = child.process;
    win32::UniqueHandle& output = child.output;
    run.started = true;

    for (bool ended = false; !ended;) {
        DEBUG_EVENT event{};
        if (!WaitForDebugEvent(&event, INFINITE)) break;
        DWORD verdict = DBG_CONTINUE;
        switch (event.dwDebugEventCode) {
        case CREATE_PROCESS_DEBUG_EVENT:
            if (event.u.CreateProcessInfo.hFile != nullptr)
                CloseHandle(event.u.CreateProcessInfo.hFile);
            break;
        case LOAD_DLL_DEBUG_EVENT:
            if (event.u.LoadDll.hFile != nullptr) CloseHandle(event.u.LoadDll.hFile);
            break;
        case OUTPUT_DEBUG_STRING_EVENT: {
            const OUTPUT_DEBUG_STRING_INFO& s = event.u.DebugString;
            std::string text(s.nDebugStringLength, '\0');
            SIZE_T got = 0;
            ReadProcessMemory(process.get(), s.lpDebugStringData, text.data(), text.size(), &got);
            text.resize(got);
            if (!text.empty() && text.back() == '\0') text.pop_back();
            run.strings.push_back(text);
            break;
        }
        case EXCEPTION_DEBUG_EVENT:
            // The loader's breakpoint is ours to pass; anything else is the
            // probe's own business.
            if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
                verdict = DBG_EXCEPTION_NOT_HANDLED;
            break;
        case EXIT_PROCESS_DEBUG_EVENT:
            run.exitCode = event.u.ExitProcess.dwExitCode;
            ended = true;
            break;
        default:
            break;
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, verdict);
    }
    WaitForSingleObject(process.get(), INFINITE);

    char chunk[512];
    DWORD n = 0;
    while (ReadFile(output.get(), chunk, sizeof chunk, &n, nullptr) && n > 0)
        run.output.append(chunk, n);
    return run;
}

// The trace as (label, command) pairs; each entry is three strings, the
// third a line break.
std::vector<std::pair<std::string, std::string>> Entries(const std::vector<std::string>& strings) {
    std::vector<std::pair<std::string, std::string>> entries;
    for (std::size_t i = 0; i + 2 < strings.size(); i += 3) {
        EXPECT_EQ(strings[i + 2], "\n") << "entry " << i / 3;
        entries.emplace_back(strings[i], strings[i + 1]);
    }
    return entries;
}

TEST(Win32Probe, TracesTheStartExchangesAgainstTheSimulator) {
    const std::string folder = wintest::ProgramFolder();
    // The probe runs from this folder, beside the stand-in module.
    const std::string probe = folder + "OSAPROBE.EXE";
    ASSERT_TRUE(CopyFileA((folder + "..\\OSAPROBE.EXE").c_str(), probe.c_str(), FALSE));

    const std::string pipe = wintest::FreshPipeName();
    wintest::UseSimulatorPipe(pipe);
    wintest::SimulatedCutter sim(folder + "..\\SIMCUTTER.EXE", pipe, {});
    ASSERT_TRUE(sim.Ready());

    const ProgramRun run = RunDebugged(probe);
    DeleteFileA(probe.c_str());
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_NE(run.output.find("2.01"), std::string::npos) << run.output;

    const auto entries = Entries(run.strings);
    std::vector<std::string> commands;
    for (const auto& entry : entries)
        commands.push_back(entry.second);
    const std::vector<std::string> expected = {"\x1b\x04", "\x1b\x05", "TT\x03",
                                               "FG\x03",   "TB71\x03", "FA\x03"};
    EXPECT_EQ(commands, expected);
    ASSERT_EQ(entries.size(), expected.size());
    // "ファームバージョン応答：" in code page 932.
    EXPECT_EQ(entries[3].first, "\x83\x74\x83\x40\x81\x5b\x83\x80\x83\x6f\x81\x5b\x83\x57\x83"
                                "\x87\x83\x93\x89\x9e\x93\x9a\x81\x46");
}

} // namespace
} // namespace osa
