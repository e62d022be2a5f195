#include "tools/sample-package/Roles.h"

#include <csignal>

int RunProduct() {
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGINT);
    sigprocmask(SIG_BLOCK, &stop, nullptr);
    int signal = 0;
    sigwait(&stop, &signal);
    return 0;
}
