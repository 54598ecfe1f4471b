#include "platform/posix/PosixShell.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace orvanta {

bool PosixShell::Open(const std::string& documentOrAddress) {
    // The exec result comes back through a close-on-exec pipe: end of file means the
    // opener started, a number is the errno of a failed start.
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return false;

    const pid_t child = ::fork();
    if (child < 0) {
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return false;
    }
    if (child == 0) {
        // The child starts the opener in a grandchild and leaves at once, so the opener
        // is never left as a zombie of this program, however long it runs.
        ::close(pipeFds[0]);
        const pid_t grandchild = ::fork();
        if (grandchild < 0) {
            const int err = errno;
            (void)!::write(pipeFds[1], &err, sizeof err);
            ::_exit(1);
        }
        if (grandchild > 0) ::_exit(0);
        ::setsid();
        const int devNull = ::open("/dev/null", O_RDWR);
        if (devNull >= 0) {
            ::dup2(devNull, 0);
            ::dup2(devNull, 1);
            ::dup2(devNull, 2);
        }
        char* const argv[] = {const_cast<char*>(opener_.c_str()), const_cast<char*>(documentOrAddress.c_str()),
                              nullptr};
        ::execvp(argv[0], argv);
        const int err = errno;
        (void)!::write(pipeFds[1], &err, sizeof err);
        ::_exit(127);
    }

    ::close(pipeFds[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int err = 0;
    ssize_t n;
    do {
        n = ::read(pipeFds[0], &err, sizeof err);
    } while (n < 0 && errno == EINTR);
    ::close(pipeFds[0]);
    return n == 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace orvanta
