#include "platform/win32/WineHostLock.h"

#include "platform/win32/WinApi.h"  // first of the Windows headers

#include <aclapi.h>

#include "platform/win32/WinText.h"
#include "platform/win32/WineHost.h"

namespace orvanta {

namespace {

HANDLE OpenShared(const std::wstring& name, DWORD access, DWORD disposition) {
    if (name.empty()) return INVALID_HANDLE_VALUE;
    return ::CreateFileW(name.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The host user id, from the "Uid:" line of /proc/self/status. Wine's server opens host
// files, so "self" is the server, which always runs as the user of its programs.
bool ReadHostUserId(unsigned long& uid) {
    HANDLE file = OpenShared(WineHostFileName("/proc/self/status"), GENERIC_READ, OPEN_EXISTING);
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

// Whether the user owns what the handle names: Wine gives a host file the user's security
// identifier as its owner when it belongs to the user, and another one when not. With
// `closedToOthers`, also that others may not add to it: Wine turns the permissions of
// others into an entry for Everyone (those of the group it does not show).
bool UsersOwn(HANDLE handle, bool closedToOthers) {
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (::GetSecurityInfo(handle, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
                          nullptr, &dacl, nullptr, &sd) != ERROR_SUCCESS) {
        return false;
    }
    HANDLE token = nullptr;
    alignas(TOKEN_USER) BYTE user[512];
    DWORD size = 0;
    bool mine = ::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token) &&
                ::GetTokenInformation(token, TokenUser, user, sizeof user, &size) &&
                ::EqualSid(owner, reinterpret_cast<TOKEN_USER*>(user)->User.Sid);
    if (token != nullptr) ::CloseHandle(token);
    BYTE everyone[SECURITY_MAX_SID_SIZE];
    size = sizeof everyone;
    if (closedToOthers) {
        // No list at all lets everyone in.
        mine = mine && dacl != nullptr && ::CreateWellKnownSid(WinWorldSid, nullptr, everyone, &size);
        for (DWORD i = 0; mine && i < dacl->AceCount; ++i) {
            ACCESS_ALLOWED_ACE* ace = nullptr;
            mine = ::GetAce(dacl, i, reinterpret_cast<void**>(&ace)) &&
                   !(ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE && (ace->Mask & FILE_ADD_FILE) != 0 &&
                     ::EqualSid(&ace->SidStart, everyone));
        }
    }
    ::LocalFree(sd);
    return mine;
}

// $XDG_RUNTIME_DIR when it names a folder (not a link) of the user's that others may not
// add to, as far as Wine shows it (UsersOwn); else empty.
std::string PrivateRuntimeFolder() {
    wchar_t value[MAX_PATH];
    const DWORD n = ::GetEnvironmentVariableW(L"XDG_RUNTIME_DIR", value, MAX_PATH);
    if (n == 0 || n >= MAX_PATH || value[0] != L'/') return {};
    std::string folder = ToUtf8(value, n);
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    const std::wstring name = WineHostFileName(folder);
    const DWORD attributes = name.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return {};
    }
    HANDLE handle = ::CreateFileW(name.c_str(), READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return {};
    const bool closed = UsersOwn(handle, true);
    ::CloseHandle(handle);
    return closed ? folder : std::string();
}

}  // namespace

WineHostLock::~WineHostLock() {
    if (file_ != nullptr) ::CloseHandle(static_cast<HANDLE>(file_));
    if (sharedFile_ != nullptr) ::CloseHandle(static_cast<HANDLE>(sharedFile_));
}

WineHostLock::Outcome WineHostLock::Lock(const std::wstring& name, const std::string& shown, void*& held) {
    inTheWay_ = shown;
    // Never through a link: the lock would land wherever it leads.
    const DWORD attributes = name.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return Outcome::Refused;
    }
    HANDLE file = OpenShared(name, GENERIC_READ | GENERIC_WRITE | READ_CONTROL, OPEN_ALWAYS);
    if (file == INVALID_HANDLE_VALUE) return Outcome::Refused;
    OVERLAPPED at{};  // the first byte: any lock of the command covers it
    const bool usersFile = ::GetFileType(file) == FILE_TYPE_DISK && UsersOwn(file, false);
    if (usersFile && ::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
        inTheWay_.clear();
        held = file;
        return Outcome::Taken;
    }
    if (usersFile && ::GetLastError() == ERROR_LOCK_VIOLATION) inTheWay_.clear();  // another instance's
    ::CloseHandle(file);
    return Outcome::Refused;
}

WineHostLock::Outcome WineHostLock::Acquire(const std::string& lockFile) {
    if (file_ != nullptr) return Outcome::Taken;
    // The command runs on Linux only; elsewhere no one else takes this lock.
    if (!RunsUnderWineOnLinux()) return Outcome::NotNeeded;
    if (!lockFile.empty()) return Lock(ToWide(lockFile), lockFile, file_);
    inTheWay_.clear();
    unsigned long uid = 0;
    if (!ReadHostUserId(uid)) return Outcome::Refused;
    // The names the command takes (DefaultInstanceLockPath).
    const std::string shared = "/tmp/orvanta-installer-" + std::to_string(uid) + ".lock";
    const std::string runtime = PrivateRuntimeFolder();
    if (runtime.empty()) return Lock(WineHostFileName(shared), shared, file_);
    const std::string own = runtime + "/orvanta-installer.lock";
    if (const Outcome outcome = Lock(WineHostFileName(own), own, file_); outcome != Outcome::Taken) return outcome;
    // The command also refuses a runtime folder that its group may write to, which Wine does
    // not show, and then takes the lock in /tmp: held here as well, unless what is there
    // cannot be used (the command then refuses in turn).
    if (Lock(WineHostFileName(shared), shared, sharedFile_) == Outcome::Refused && inTheWay_.empty()) {
        ::CloseHandle(static_cast<HANDLE>(file_));
        file_ = nullptr;
        return Outcome::Refused;
    }
    inTheWay_.clear();
    return Outcome::Taken;
}

}  // namespace orvanta
