#include "platform/posix/PosixSettings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <strings.h>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/posix/RegularFile.h"

namespace orvanta {

namespace {

std::string Trim(const std::string& s) {
    const std::size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

bool SameName(const std::string& a, const std::string& b) { return ::strcasecmp(a.c_str(), b.c_str()) == 0; }

// The section a header line opens, if the line is a header.
std::optional<std::string> HeaderOf(const std::string& line) {
    const std::string t = Trim(line);
    if (t.size() < 2 || t.front() != '[' || t.back() != ']') return std::nullopt;
    return Trim(t.substr(1, t.size() - 2));
}

bool IsKeyLine(const std::string& line, const std::string& key, std::string* value) {
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos || !SameName(Trim(line.substr(0, eq)), key)) return false;
    if (value != nullptr) {
        *value = line.substr(eq + 1);
        if (!value->empty() && value->back() == '\r') value->pop_back();
    }
    return true;
}

// A settings file this large was not written by the program.
constexpr std::size_t kLargestSettingsFile = 1 << 20;

// Reads the whole file: false when it cannot be read, is not a regular file or is larger
// than any the program writes; a missing file reads as no lines.
bool ReadIni(const std::string& path, std::vector<std::string>& lines) {
    lines.clear();
    std::string content;
    if (!ReadRegularFile(path, kLargestSettingsFile, content)) return errno == ENOENT;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos) end = content.size();
        lines.push_back(content.substr(start, end - start));
        start = end + 1;
    }
    return true;
}

bool MakeFolders(const std::string& folder) {
    std::size_t pos = 1;
    while (pos <= folder.size()) {
        std::size_t next = folder.find('/', pos);
        if (next == std::string::npos) next = folder.size();
        const std::string part = folder.substr(0, next);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
        pos = next + 1;
    }
    return true;
}

bool WriteAllTo(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Writes the text under a temporary name beside the file and moves it over the file, so
// that a crash leaves either the old or the new settings, never half of them.
bool ReplaceFileAtomically(const std::string& path, const std::string& text) {
    const std::size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(path.substr(0, slash))) return false;
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    struct stat st {};
    const mode_t mode = ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
    bool ok = ::fchmod(fd, mode) == 0 && WriteAllTo(fd, text) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

// A settings file reached through a link is rewritten where the link points, so that the
// link stays (settings kept under version control often are links).
std::string FollowLink(const std::string& path) {
    char resolved[PATH_MAX];
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode) && ::realpath(path.c_str(), resolved) != nullptr) {
        return resolved;
    }
    return path;
}

}  // namespace

std::optional<std::string> FindIniValue(const std::vector<std::string>& lines, const std::string& section,
                                        const std::string& key) {
    bool inSection = false;
    for (const std::string& line : lines) {
        if (auto header = HeaderOf(line)) {
            inSection = SameName(*header, section);
            continue;
        }
        std::string value;
        if (inSection && IsKeyLine(line, key, &value)) return value;
    }
    return std::nullopt;
}

std::vector<std::string> SetIniValue(std::vector<std::string> lines, const std::string& section, const std::string& key,
                                     const std::string& value) {
    const std::string newLine = key + "=" + value;
    bool inSection = false;
    std::optional<std::size_t> insertAt;  // after the section's last non-blank line
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (auto header = HeaderOf(lines[i])) {
            if (inSection) break;
            inSection = SameName(*header, section);
            if (inSection) insertAt = i + 1;
            continue;
        }
        if (!inSection) continue;
        if (IsKeyLine(lines[i], key, nullptr)) {
            lines[i] = newLine;
            return lines;
        }
        if (!Trim(lines[i]).empty()) insertAt = i + 1;
    }
    if (insertAt) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*insertAt), newLine);
        return lines;
    }
    lines.push_back("[" + section + "]");
    lines.push_back(newLine);
    return lines;
}

std::string PosixSettings::FileOf(const std::string& application) {
    std::string folder;
    if (const char* x = std::getenv("XDG_CONFIG_HOME"); x != nullptr && *x != '\0') {
        folder = x;
    } else if (const char* h = std::getenv("HOME"); h != nullptr && *h != '\0') {
        folder = std::string(h) + "/.config";
    } else {
        return {};
    }
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder + "/" + application + ".ini";
}

std::optional<std::string> PosixSettings::Get(const std::string& application, const std::string& section,
                                              const std::string& key, const std::string& defaultValue) {
    const std::string path = FileOf(application);
    if (path.empty()) return std::nullopt;
    std::vector<std::string> lines;
    if (!ReadIni(path, lines)) return std::nullopt;
    return FindIniValue(lines, section, key).value_or(defaultValue);
}

bool PosixSettings::Save(const std::string& application, const std::string& section, const std::string& key,
                         const std::string& value) {
    const std::string path = FileOf(application);
    if (path.empty()) return false;
    std::vector<std::string> lines;
    if (!ReadIni(path, lines)) return false;
    std::string text;
    for (const std::string& line : SetIniValue(std::move(lines), section, key, value)) text += line + "\n";
    return ReplaceFileAtomically(FollowLink(path), text);
}

}  // namespace orvanta
