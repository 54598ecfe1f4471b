#pragma once

#include <string>

namespace orvanta {

// Paths of this length and more are passed to Windows in the extended-length form: the
// plain form stops at MAX_PATH (260 with the NUL) and, for CreateDirectoryW, 12 earlier.
inline constexpr std::size_t kLongPathFrom = 248;

// The form of a path that the wide file API accepts at any length. A path shorter than
// kLongPathFrom is returned as it is, so Windows treats it exactly as it always did. A
// longer absolute one is normalised as Windows would do it ("/" is a separator, repeated
// separators count once, "." and ".." segments are resolved, trailing dots and blanks of
// the last name go) and prefixed: "C:\..." becomes "\\?\C:\...", "\\server\share\..."
// becomes "\\?\UNC\server\share\...". Relative paths ("Scenery\x", "C:x", "\x") and paths
// already in a prefixed or device form are returned as they are: the program's own paths
// are all absolute, and the extended form has no current folder to resolve them against.
std::wstring ExtendedLengthPath(const std::wstring& path);

// The wide path that every file operation of ours hands to Windows: UTF-8 to UTF-16, then
// the extended-length form where the path needs it.
std::wstring WidePath(const std::string& utf8Path);

}  // namespace orvanta
