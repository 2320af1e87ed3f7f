#include "Tilvane/App/FileSizeLimitSignal.hpp"

#include <csignal>

namespace tilvane {

namespace {

void noteFileSizeLimit(int) {}

}  // namespace

void letWritesPastTheFileSizeLimitFail()
{
    struct sigaction action {};
    action.sa_handler = noteFileSizeLimit;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGXFSZ, &action, nullptr);
}

}  // namespace tilvane
