#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvanta::test {

// A fresh folder under the system's temporary folder, removed with everything inside when
// the object goes. Paths are UTF-8 with the platform separator.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder, without a trailing separator.
    const std::string& path() const { return path_; }
    // The folder followed by the separator and the relative path (which may use '/').
    std::string operator/(const std::string& relative) const;

private:
    std::string path_;
};

// Converts '/' in a relative path to the platform separator.
std::string NativeRelative(const std::string& relative);

// Small file helpers over std::filesystem, independent of the code under test.
void WriteBytes(const std::string& path, const std::string& bytes);  // creates parent folders
std::string ReadBytes(const std::string& path);                      // empty when absent
bool FileExists(const std::string& path);
void MakeFolder(const std::string& path);
// Sets a file's modification time to the given local date and time.
void SetLocalModifiedTime(const std::string& path, int year, int month, int day, int hour, int minute, int second);

}  // namespace orvanta::test
