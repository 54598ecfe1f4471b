#include "platform/win32/WineHostLock.h"

#include "platform/win32/WinApi.h"  // first of the Windows headers

#include <cstring>

#include "platform/win32/WinText.h"

namespace orvanta {

namespace {

using WineGetVersion = const char*(CDECL*)();
using WineGetHostVersion = void(CDECL*)(const char** sysname, const char** release);
using WineGetDosFileName = WCHAR*(CDECL*)(const char* unixPath);

// An export of a loaded system library, or nullptr; Windows itself has none of Wine's.
template <typename Function>
Function Export(const wchar_t* module, const char* name) {
    HMODULE handle = ::GetModuleHandleW(module);
    if (handle == nullptr) return nullptr;
    FARPROC proc = ::GetProcAddress(handle, name);
    return reinterpret_cast<Function>(reinterpret_cast<void*>(proc));
}

// Wine's name for a host file: a drive letter, or "\\?\unix\..." when no drive leads there.
std::wstring WineNameOf(WineGetDosFileName dosName, const std::string& hostPath) {
    WCHAR* name = dosName(hostPath.c_str());
    if (name == nullptr) return {};
    std::wstring copy = name;
    ::HeapFree(::GetProcessHeap(), 0, name);
    return copy;
}

HANDLE OpenShared(const std::wstring& name, DWORD access, DWORD disposition) {
    if (name.empty()) return INVALID_HANDLE_VALUE;
    return ::CreateFileW(name.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The host user id, from the "Uid:" line of /proc/self/status. Wine's server opens host
// files, so "self" is the server, which always runs as the user of its programs.
bool ReadHostUserId(WineGetDosFileName dosName, unsigned long& uid) {
    HANDLE file = OpenShared(WineNameOf(dosName, "/proc/self/status"), GENERIC_READ, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::string text;
    char buffer[4096];
    DWORD n = 0;
    while (text.size() < 65536 && ::ReadFile(file, buffer, sizeof buffer, &n, nullptr) && n > 0) text.append(buffer, n);
    ::CloseHandle(file);
    const std::size_t line = text.find("\nUid:");
    if (line == std::string::npos) return false;
    std::size_t i = line + 5;
    while (i < text.size() && (text[i] == '\t' || text[i] == ' ')) ++i;
    if (i >= text.size() || text[i] < '0' || text[i] > '9') return false;
    uid = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) uid = uid * 10 + (text[i] - '0');
    return true;
}

}  // namespace

WineHostLock::~WineHostLock() {
    if (file_ != nullptr) ::CloseHandle(static_cast<HANDLE>(file_));
}

WineHostLock::Outcome WineHostLock::Acquire(const std::string& lockFile) {
    if (file_ != nullptr) return Outcome::Taken;
    if (Export<WineGetVersion>(L"ntdll.dll", "wine_get_version") == nullptr) return Outcome::NotNeeded;
    // The command runs on Linux only; elsewhere no one else takes this lock.
    if (auto hostVersion = Export<WineGetHostVersion>(L"ntdll.dll", "wine_get_host_version")) {
        const char* system = nullptr;
        const char* release = nullptr;
        hostVersion(&system, &release);
        if (system != nullptr && std::strcmp(system, "Linux") != 0) return Outcome::NotNeeded;
    }
    std::wstring name = ToWide(lockFile);
    if (lockFile.empty()) {
        auto dosName = Export<WineGetDosFileName>(L"kernel32.dll", "wine_get_dos_file_name");
        unsigned long uid = 0;
        if (dosName == nullptr || !ReadHostUserId(dosName, uid)) return Outcome::Refused;
        name = WineNameOf(dosName, "/tmp/orvanta-installer-" + std::to_string(uid) + ".lock");
    }
    HANDLE file = OpenShared(name, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
    if (file == INVALID_HANDLE_VALUE) return Outcome::Refused;
    OVERLAPPED at{};  // the first byte: any lock of the command covers it
    if (!::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
        ::CloseHandle(file);
        return Outcome::Refused;
    }
    file_ = file;
    return Outcome::Taken;
}

}  // namespace orvanta
