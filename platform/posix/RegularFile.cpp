#include "platform/posix/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace orvanta {

int OpenRegularFile(const std::string& path, struct stat* status) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat own {};
    struct stat& st = status != nullptr ? *status : own;
    st = {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) return fd;
    const int err = S_ISDIR(st.st_mode) ? EISDIR : st.st_mode != 0 ? ENODEV : errno;
    ::close(fd);
    errno = err;
    return -1;
}

bool ReadUpTo(int fd, std::size_t maxBytes, std::string& content) {
    content.clear();
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        if (content.size() + static_cast<std::size_t>(n) > maxBytes) {
            errno = EFBIG;
            return false;
        }
        content.append(buffer, static_cast<std::size_t>(n));
    }
}

bool ReadRegularFile(const std::string& path, std::size_t maxBytes, std::string& content) {
    const int fd = OpenRegularFile(path);
    if (fd < 0) return false;
    const bool read = ReadUpTo(fd, maxBytes, content);
    const int err = errno;
    ::close(fd);
    errno = err;
    return read;
}

}  // namespace orvanta
