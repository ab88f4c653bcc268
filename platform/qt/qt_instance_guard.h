// Single instance on Linux: the per-user lock file of
// platform/linux/instance_lock.h, and a QLocalServer on the socket beside it
// through which a later controller asks the first one to come to the front.
//
// ClaimFirstInstance: takes the lock without blocking. When it is ours, the
// socket file left by a controller that died is removed (nobody else can be
// listening while we hold the lock) and the server starts listening; each
// "raise" line that arrives calls the raise handler on the user-interface
// thread, from whatever event loop runs then. When the lock cannot be used
// at all (no writable folder, a file that is not ours), the failure goes to
// standard error and the controller runs as the first instance.
//
// RaiseFirstInstance: one non-blocking connect and send of "raise\n"; a
// failure goes to standard error and is otherwise ignored. The caption is
// not needed here: the socket already names the first controller.
#pragma once
#include <functional>
#include <memory>
#include <string_view>

#include "platform/instance_guard.h"
#include "platform/linux/instance_lock.h"

class QLocalServer;

namespace osa {

class QtInstanceGuard final : public InstanceGuard {
  public:
    using RaiseHandler = std::function<void()>;

    explicit QtInstanceGuard(RaiseHandler onRaise,
                             posix::InstancePaths paths = posix::DefaultInstancePaths());
    ~QtInstanceGuard() override;
    QtInstanceGuard(const QtInstanceGuard&) = delete;
    QtInstanceGuard& operator=(const QtInstanceGuard&) = delete;

    bool ClaimFirstInstance() override;
    void RaiseFirstInstance(std::string_view caption) override;

    const posix::InstancePaths& Paths() const { return paths_; }
    // True while this guard holds the lock and its server listens.
    bool Listening() const;

  private:
    void StartServer();

    RaiseHandler onRaise_;
    posix::InstancePaths paths_;
    posix::UniqueFd lock_;                 // declared before server_: the server
    std::unique_ptr<QLocalServer> server_; // goes (removing its socket file) first
};

} // namespace osa
