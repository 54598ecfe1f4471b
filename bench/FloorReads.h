#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <string>

namespace orvanta::bench {

// A whole file by plain calls, as the floors read the package's lists and Cycle.txt.
inline bool ReadWhole(const std::string& path, std::string& text) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char buffer[65536];
    text.clear();
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(n));
    ::close(fd);
    return true;
}

}  // namespace orvanta::bench
