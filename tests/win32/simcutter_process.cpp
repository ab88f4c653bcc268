#include "tests/win32/simcutter_process.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

namespace osa::wintest {

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path, n);
    dir.resize(dir.find_last_of("\\/") + 1);
    return dir;
}

std::string FreshPipeName() {
    static std::atomic<int> counter{0};
    return R"(\\.\pipe\osa-simcutter-test-)" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(++counter);
}

void UseSimulatorPipe(const std::string& pipeName) {
    SetEnvironmentVariableA("OSA_SIMCUTTER_PIPE", pipeName.c_str());
}

bool StartWithOutput(const std::string& program, std::string commandLine, DWORD creationFlags,
                     bool errorToo, ChildWithOutput& child) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 1 << 16)) return false;
    win32::UniqueHandle output(readEnd);
    win32::UniqueHandle childOutput(writeEnd);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = errorToo ? writeEnd : GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdInput = nullptr;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, creationFlags,
                        nullptr, nullptr, &startup, &info))
        return false;
    child.process.reset(info.hProcess);
    CloseHandle(info.hThread);
    child.output = std::move(output); // only the child writes now: its end ends the reads
    return true;
}

SimulatedCutter::SimulatedCutter(const std::string& program, const std::string& pipeName,
                                 const std::vector<std::string>& options) {
    char temp[MAX_PATH] = {};
    char log[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    if (GetTempFileNameA(temp, "sim", 0, log) == 0) return;
    logPath_ = log;

    std::string commandLine =
        "\"" + program + "\" \"--pipe=" + pipeName + "\" \"--log=" + logPath_ + "\"";
    for (const std::string& option : options)
        commandLine += " \"" + option + "\"";

    ChildWithOutput child;
    if (!StartWithOutput(program, commandLine, 0, false, child)) return;
    process_ = std::move(child.process);
    win32::UniqueHandle output = std::move(child.output);

    std::string said;
    char chunk[64];
    DWORD n = 0;
    while (said.find("ready") == std::string::npos &&
           ReadFile(output.get(), chunk, sizeof chunk, &n, nullptr) && n > 0)
        said.append(chunk, n);
    ready_ = said.find("ready") != std::string::npos;
}

SimulatedCutter::~SimulatedCutter() {
    if (process_) {
        TerminateProcess(process_.get(), 0);
        WaitForSingleObject(process_.get(), INFINITE);
    }
    if (!logPath_.empty()) DeleteFileA(logPath_.c_str());
}

std::vector<std::string> SimulatedCutter::Log() const {
    std::ifstream in(logPath_, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t space = line.find(' ');
        lines.push_back(space == std::string::npos ? line : line.substr(space + 1));
    }
    return lines;
}

std::vector<std::string> SimulatedCutter::LogOf(std::size_t lines) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    std::vector<std::string> log = Log();
    while (log.size() < lines && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        log = Log();
    }
    return log;
}

} // namespace osa::wintest
