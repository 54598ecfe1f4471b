#include "platform/win32/LongPath.h"

#include <vector>

#include "platform/win32/WinText.h"

namespace orvanta {

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

// The names of a path below its root, with "." and ".." resolved as Windows resolves them
// (".." never climbs above the root) and empty names dropped.
std::vector<std::wstring> ResolvedNames(const std::wstring& path, std::size_t from) {
    std::vector<std::wstring> names;
    std::size_t start = from;
    while (start <= path.size()) {
        std::size_t end = start;
        while (end < path.size() && !IsSeparator(path[end])) ++end;
        const std::wstring name = path.substr(start, end - start);
        if (name == L"..") {
            if (!names.empty()) names.pop_back();
        } else if (!name.empty() && name != L".") {
            names.push_back(name);
        }
        start = end + 1;
    }
    return names;
}

// The end of the name that starts at `from`.
std::size_t NameEnd(const std::wstring& path, std::size_t from) {
    while (from < path.size() && !IsSeparator(path[from])) ++from;
    return from;
}

}  // namespace

std::wstring ExtendedLengthPath(const std::wstring& path) {
    if (path.size() < kLongPathFrom) return path;

    std::wstring root;
    std::size_t rest = 0;
    if (IsDriveLetter(path[0]) && path[1] == L':' && IsSeparator(path[2])) {
        root = std::wstring(L"\\\\?\\") + path[0] + L":\\";
        rest = 3;
    } else if (IsSeparator(path[0]) && IsSeparator(path[1])) {
        // "\\?\", "\\.\" and the like are already past the plain form's rules.
        if ((path[2] == L'?' || path[2] == L'.') && IsSeparator(path[3])) return path;
        const std::size_t serverEnd = NameEnd(path, 2);
        if (serverEnd == 2 || serverEnd >= path.size()) return path;
        const std::size_t shareEnd = NameEnd(path, serverEnd + 1);
        if (shareEnd == serverEnd + 1) return path;
        root = L"\\\\?\\UNC\\" + path.substr(2, serverEnd - 2) + L"\\" +
               path.substr(serverEnd + 1, shareEnd - serverEnd - 1) + L"\\";
        rest = shareEnd;
    } else {
        return path;  // relative to a current folder or drive
    }

    std::vector<std::wstring> names = ResolvedNames(path, rest);
    const bool endsWithSeparator = IsSeparator(path.back());
    if (!endsWithSeparator && !names.empty()) {
        // Windows drops the trailing dots and blanks of the last name.
        std::wstring& last = names.back();
        while (!last.empty() && (last.back() == L'.' || last.back() == L' ')) last.pop_back();
        if (last.empty()) names.pop_back();
    }
    std::wstring result = root;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) result += L'\\';
        result += names[i];
    }
    if (endsWithSeparator && !names.empty()) result += L'\\';
    return result;
}

std::wstring WidePath(const std::string& utf8Path) { return ExtendedLengthPath(ToWide(utf8Path)); }

}  // namespace orvanta
