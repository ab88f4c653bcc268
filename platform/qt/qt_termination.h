// Termination requests (SIGTERM, SIGINT) as close requests. The signal
// handler only writes a byte to a pipe; a QSocketNotifier on the pipe calls
// the handler on the user-interface thread, from whatever event loop runs,
// where it may close windows through the dialog procedures. Each signal's
// handler is one-shot (SA_RESETHAND): a second signal ends the process the
// ordinary way if the first request did not.
//
// One instance at a time; the signal dispositions before it come back when
// it is destroyed.
#pragma once
#include <functional>
#include <memory>

class QSocketNotifier;

namespace osa {

class TerminationRequests {
  public:
    explicit TerminationRequests(std::function<void()> onRequest);
    ~TerminationRequests();
    TerminationRequests(const TerminationRequests&) = delete;
    TerminationRequests& operator=(const TerminationRequests&) = delete;

    // False when the pipe or a handler could not be set up (reported on
    // standard error); the signals then keep their default action.
    bool Active() const { return notifier_ != nullptr; }

  private:
    std::function<void()> onRequest_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace osa
