#pragma once
// Holds back SIGINT, SIGTERM and SIGHUP on the calling thread while it lives. A thread started
// meanwhile keeps them held back for good, so the clean-up on those signals always runs on a
// thread that makes files, and never while another thread is halfway through making one.

#include <pthread.h>
#include <signal.h>

namespace gw {

class TerminationSignalsHeld {
  public:
    TerminationSignalsHeld() {
        sigset_t held;
        sigemptyset(&held);
        sigaddset(&held, SIGINT);
        sigaddset(&held, SIGTERM);
        sigaddset(&held, SIGHUP);
        pthread_sigmask(SIG_BLOCK, &held, &before_);
    }
    ~TerminationSignalsHeld() { pthread_sigmask(SIG_SETMASK, &before_, nullptr); }
    TerminationSignalsHeld(const TerminationSignalsHeld&) = delete;
    TerminationSignalsHeld& operator=(const TerminationSignalsHeld&) = delete;

  private:
    sigset_t before_;
};

}  // namespace gw
