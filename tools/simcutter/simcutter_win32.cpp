// The simulated cutter of the Windows build: two named pipes stand for the
// cutter's two USB pipes, and the stand-in VORNUSBP.DLL (see
// standin_vornusbp_win32.cpp) opens them as the real module opens the
// device's pipes.
//
//   SIMCUTTER.EXE [--pipe=NAME] [--log=FILE] [--version=2.01] [--model=KXR]
//                 [--lead=V] [--status=0] [--sensor=X,Y] [--feed=A[,B]]
//                 [--marks=V] [--marks-ms=N] [--ready=N]
//                 [--fault=none|silent|short|garbage|slow:N|gone] [--fault-on=TEXT]
//
// NAME (default \\.\pipe\osa-simcutter) gives NAME\.00, into which the
// controller writes its commands, and NAME\.01, from which it reads the
// replies. Every open by the controller is one connection. Prints "ready"
// once both pipes exist, then serves until it is ended. fault=gone closes
// both pipes (the program ends) as soon as the first bytes arrive, so the
// next open fails. The log has one line per chunk received ("in") and per
// reply sent ("out"), with milliseconds since the start.
//
// Commands pipe: read until the client closes; each chunk goes to the
// model, and its replies are queued, each available from `delayMs` after
// its command arrived. Replies pipe: a client waits until a reply is
// available (as long as it stays connected), gets the whole reply in one
// write, and the connection ends when the client closes it. A reply written
// to a client that closes without reading it is lost, as with the real
// driver.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_handle.h"
#include "tools/simcutter/cutter_model.h"

namespace {

using Clock = std::chrono::steady_clock;
using osa::win32::UniqueHandle;

constexpr std::string_view DefaultPipe = R"(\\.\pipe\osa-simcutter)";
constexpr DWORD PipeBufferBytes = 4096;

struct Options {
    std::string pipe{DefaultPipe};
    std::string log;
    osa::sim::CutterSetup setup;
};

struct QueuedReply {
    std::string bytes;
    Clock::time_point availableAt;
};

// What both pipe threads share, under `mutex`.
struct Cutter {
    std::mutex mutex;
    osa::sim::CutterModel model;
    std::deque<QueuedReply> replies;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> log{nullptr, std::fclose};
    Clock::time_point start = Clock::now();

    void Log(bool in, std::string_view bytes) {
        if (!log) return;
        const auto micros =
            std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
        Write(osa::sim::LogLine(micros, in, bytes));
    }
    // Where the blade holder is, after a command that moved it.
    void LogBlade() {
        if (!log || !model.TakeBladeChange()) return;
        const auto micros =
            std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
        Write(osa::sim::BladeLogLine(micros, model.BladeNow()));
    }

  private:
    void Write(const std::string& text) {
        const std::string line = text + "\n";
        std::fwrite(line.data(), 1, line.size(), log.get());
        std::fflush(log.get());
    }
};

bool ParseOptions(int argc, char** argv, Options& o) {
    return osa::sim::ParseArguments(argc, argv, {{"--pipe=", &o.pipe}, {"--log=", &o.log}},
                                    o.setup) &&
           !o.pipe.empty();
}

UniqueHandle NewInstance(const std::string& name, bool first) {
    const DWORD openMode = PIPE_ACCESS_DUPLEX | (first ? FILE_FLAG_FIRST_PIPE_INSTANCE : 0);
    return UniqueHandle(
        CreateNamedPipeA(name.c_str(), openMode, PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT,
                         PIPE_UNLIMITED_INSTANCES, PipeBufferBytes, PipeBufferBytes, 0, nullptr));
}

bool ClientStillThere(HANDLE client) {
    DWORD available = 0;
    return PeekNamedPipe(client, nullptr, 0, nullptr, &available, nullptr) != FALSE;
}

// Reads and drops whatever the client sends until it closes its end.
void WaitForClose(HANDLE client) {
    char scratch[256];
    DWORD n = 0;
    while (ReadFile(client, scratch, sizeof scratch, &n, nullptr) ||
           GetLastError() == ERROR_MORE_DATA) {
    }
}

void ServeCommands(Cutter& cutter, HANDLE client) {
    char chunk[PipeBufferBytes];
    DWORD n = 0;
    while (ReadFile(client, chunk, sizeof chunk, &n, nullptr) ||
           GetLastError() == ERROR_MORE_DATA) {
        if (n == 0) continue;
        std::lock_guard lock(cutter.mutex);
        const std::string_view bytes(chunk, n);
        cutter.Log(true, bytes);
        if (cutter.model.Gone()) {
            // Unplugged: both pipes go with the process.
            if (cutter.log) std::fflush(cutter.log.get());
            ExitProcess(0);
        }
        const Clock::time_point arrived = Clock::now();
        for (osa::sim::Reply& reply : cutter.model.Receive(bytes))
            cutter.replies.push_back(
                {std::move(reply.bytes), arrived + std::chrono::milliseconds(reply.delayMs)});
        cutter.LogBlade();
    }
}

void ServeReply(Cutter& cutter, HANDLE client) {
    std::string reply;
    for (;;) {
        {
            std::lock_guard lock(cutter.mutex);
            if (!cutter.replies.empty() && cutter.replies.front().availableAt <= Clock::now()) {
                reply = std::move(cutter.replies.front().bytes);
                cutter.replies.pop_front();
                break;
            }
        }
        // A client that gave up before any reply came leaves the queue alone.
        if (!ClientStillThere(client)) return;
        Sleep(2);
    }
    DWORD written = 0;
    if (WriteFile(client, reply.data(), static_cast<DWORD>(reply.size()), &written, nullptr)) {
        std::lock_guard lock(cutter.mutex);
        cutter.Log(false, reply);
    }
    WaitForClose(client);
}

// One connection after the other on one pipe name. The next instance is
// made as soon as a client has connected, so the controller's next open
// finds one while the current connection is still being served.
template <typename Serve>
void ServePipe(const std::string& name, UniqueHandle listening, Serve serve) {
    for (;;) {
        if (!listening) listening = NewInstance(name, false);
        if (!listening) {
            std::fprintf(stderr, "simcutter: CreateNamedPipe %s failed, error %lu\n", name.c_str(),
                         GetLastError());
            std::exit(1);
        }
        // ERROR_PIPE_CONNECTED: the client came before the call;
        // ERROR_NO_DATA: it has come and already closed its end. Either way
        // what it wrote is still there to be read.
        if (!ConnectNamedPipe(listening.get(), nullptr)) {
            const DWORD error = GetLastError();
            if (error != ERROR_PIPE_CONNECTED && error != ERROR_NO_DATA) {
                std::fprintf(stderr, "simcutter: ConnectNamedPipe %s failed, error %lu\n",
                             name.c_str(), error);
                listening.reset();
                continue;
            }
        }
        UniqueHandle client = std::move(listening);
        listening = NewInstance(name, false);
        serve(client.get());
        DisconnectNamedPipe(client.get());
    }
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) return 2;

    Cutter cutter;
    cutter.model = osa::sim::CutterModel(options.setup);
    if (!options.log.empty()) {
        cutter.log.reset(std::fopen(options.log.c_str(), "wb"));
        if (!cutter.log) {
            std::fprintf(stderr, "simcutter: cannot write %s\n", options.log.c_str());
            return 1;
        }
    }

    const std::string commandsName = options.pipe + "\\.00";
    const std::string repliesName = options.pipe + "\\.01";
    UniqueHandle commands = NewInstance(commandsName, true);
    UniqueHandle replies = NewInstance(repliesName, true);
    if (!commands || !replies) {
        std::fprintf(stderr, "simcutter: cannot create the pipes %s, error %lu\n",
                     options.pipe.c_str(), GetLastError());
        return 1;
    }

    std::thread commandThread([&cutter, &commandsName, &commands] {
        ServePipe(commandsName, std::move(commands),
                  [&cutter](HANDLE client) { ServeCommands(cutter, client); });
    });
    std::printf("ready\n");
    std::fflush(stdout);
    ServePipe(repliesName, std::move(replies),
              [&cutter](HANDLE client) { ServeReply(cutter, client); });
    commandThread.join();
    return 0;
}
