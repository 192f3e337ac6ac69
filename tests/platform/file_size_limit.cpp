#include "file_size_limit.h"

#if defined(_WIN32)

int RunWithFileSizeLimit(long, int (*)(void*), void*) {
    return -1;
}
int FileSizeLimitSupported() {
    return 0;
}

#else

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int RunWithFileSizeLimit(long limitBytes, int (*action)(void* context), void* context) {
    const pid_t child = fork();
    if (child < 0) {
        return -1;
    }
    if (child == 0) {
        // Ignoring SIGXFSZ turns the limit into an ordinary write error (EFBIG).
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit {};
        limit.rlim_cur = static_cast<rlim_t>(limitBytes);
        limit.rlim_max = static_cast<rlim_t>(limitBytes);
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) {
            _exit(254);
        }
        _exit(action(context) & 0xFF);
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

int FileSizeLimitSupported() {
    return 1;
}

#endif
