#include "platform/qt/qt_termination.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace osa {

namespace {

constexpr int Signals[] = {SIGTERM, SIGINT};

// The pipe's ends; written by the handler, so plain ints.
volatile sig_atomic_t g_writeFd = -1;
int g_readFd = -1;
struct sigaction g_previous[sizeof Signals / sizeof Signals[0]];

extern "C" void OnSignal(int) {
    const int saved = errno;
    const char byte = 1;
    if (g_writeFd >= 0) (void)!::write(g_writeFd, &byte, 1);
    errno = saved;
}

void ClosePipe() {
    if (g_readFd >= 0) ::close(g_readFd);
    if (g_writeFd >= 0) ::close(g_writeFd);
    g_readFd = -1;
    g_writeFd = -1;
}

} // namespace

TerminationRequests::TerminationRequests(std::function<void()> onRequest)
    : onRequest_(std::move(onRequest)) {
    if (g_readFd >= 0) {
        std::fprintf(stderr, "osactl: termination requests are watched already\n");
        return;
    }
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::fprintf(stderr, "osactl: pipe2 for termination requests: %s\n", std::strerror(errno));
        return;
    }
    g_readFd = fds[0];
    g_writeFd = fds[1];
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (std::size_t i = 0; i < sizeof Signals / sizeof Signals[0]; ++i) {
        if (::sigaction(Signals[i], &action, &g_previous[i]) != 0) {
            std::fprintf(stderr, "osactl: sigaction: %s\n", std::strerror(errno));
            for (std::size_t j = 0; j < i; ++j)
                ::sigaction(Signals[j], &g_previous[j], nullptr);
            ClosePipe();
            return;
        }
    }
    notifier_ = std::make_unique<QSocketNotifier>(g_readFd, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] {
        char buffer[16];
        while (::read(g_readFd, buffer, sizeof buffer) > 0) {
        }
        if (onRequest_) onRequest_();
    });
}

TerminationRequests::~TerminationRequests() {
    if (!notifier_) return;
    notifier_.reset();
    for (std::size_t i = 0; i < sizeof Signals / sizeof Signals[0]; ++i)
        ::sigaction(Signals[i], &g_previous[i], nullptr);
    ClosePipe();
}

} // namespace osa
