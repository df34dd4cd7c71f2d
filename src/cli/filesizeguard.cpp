// A write past the file size limit fails instead of killing the process.
#include "filesizeguard.h"

#include <csignal>

namespace {

void ignoreFileSizeSignal(int) { }

} // namespace

void guardAgainstFileSizeSignal()
{
    struct sigaction action {
    };
    action.sa_handler = &ignoreFileSizeSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGXFSZ, &action, nullptr);
}
