#pragma once

#include <cstddef>
#include <string>

struct stat;

namespace orvanta {

// Files from outside (the package, the simulator, Wine's and Steam's files, the settings)
// can be anything at their names: a FIFO would hold a reader for good, a device would feed
// it without end. These open without ever blocking and read regular files only.

// A descriptor open for reading on the regular file the path names (links followed); -1
// with errno otherwise: EISDIR for a folder, ENODEV for a FIFO, a device or a socket.
// With `st`, the file's status is left there.
int OpenRegularFile(const std::string& path, struct stat* st = nullptr);

// The content of a regular file of at most maxBytes; false with errno otherwise (EFBIG when
// it is larger).
bool ReadRegularFile(const std::string& path, std::size_t maxBytes, std::string& content);

// Reads from an open descriptor into content, to its end but never beyond maxBytes; false
// with errno on a read failure or a longer file (EFBIG).
bool ReadUpTo(int fd, std::size_t maxBytes, std::string& content);

}  // namespace orvanta
