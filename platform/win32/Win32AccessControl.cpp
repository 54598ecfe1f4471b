#include "platform/win32/Win32AccessControl.h"

#include <vector>

#include "platform/win32/LongPath.h"
#include "platform/win32/WinApi.h"
#include "platform/win32/WinText.h"

namespace orvanta {

namespace {

constexpr DWORD kSecurityInformation =
    OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;  // 7
constexpr DWORD kPrivilegeSetBytes = 32;
static_assert(FILE_GENERIC_READ == 0x120089 && FILE_GENERIC_WRITE == 0x120116, "file object mapping");
static_assert(FILE_GENERIC_EXECUTE == 0x1200A0 && FILE_ALL_ACCESS == 0x1F01FF, "file object mapping");

}  // namespace

std::string Win32AccessControl::VolumeRoot(const std::string& path) {
    if (path.size() >= 3 && path[1] == ':' && path[2] == '\\') return path.substr(0, 3);
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
        const std::size_t slash = path.find('\\', 2);
        if (slash == std::string::npos) return path + "\\";
        return path.substr(0, slash + 1);
    }
    return {};
}

std::int64_t Win32AccessControl::GetGrantedAccess(const std::string& path) {
    const std::string root = VolumeRoot(path);
    if (root.empty()) return -1;
    DWORD flags = 0;
    if (!::GetVolumeInformationW(ToWide(root).c_str(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0)) return -1;
    if ((flags & FILE_PERSISTENT_ACLS) == 0) return -1;  // no access lists: nothing to check

    const std::wstring file = WidePath(path);
    DWORD needed = 0;
    if (::GetFileSecurityW(file.c_str(), kSecurityInformation, nullptr, 0, &needed) ||
        ::GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed == 0) {
        return -1;
    }
    std::vector<BYTE> descriptor(needed, 0);
    if (!::GetFileSecurityW(file.c_str(), kSecurityInformation, descriptor.data(), needed, &needed)) return -1;

    ::ImpersonateSelf(SecurityDelegation);
    HANDLE token = nullptr;
    if (!::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, FALSE, &token)) {
        ::RevertToSelf();
        return -1;
    }
    GENERIC_MAPPING mapping{};
    mapping.GenericRead = FILE_GENERIC_READ;
    mapping.GenericWrite = FILE_GENERIC_WRITE;
    mapping.GenericExecute = FILE_GENERIC_EXECUTE;
    mapping.GenericAll = FILE_ALL_ACCESS;
    DWORD desired = MAXIMUM_ALLOWED;
    ::MapGenericMask(&desired, &mapping);
    std::vector<BYTE> privileges(kPrivilegeSetBytes, 0);
    DWORD privilegesLength = kPrivilegeSetBytes;
    DWORD granted = 0;
    BOOL accessStatus = FALSE;
    const BOOL checked =
        ::AccessCheck(descriptor.data(), token, desired, &mapping, reinterpret_cast<PRIVILEGE_SET*>(privileges.data()),
                      &privilegesLength, &granted, &accessStatus);
    ::CloseHandle(token);
    ::RevertToSelf();
    // A check that could not run answers "unknown", never an empty mask.
    if (!checked) return -1;
    return static_cast<std::int64_t>(granted);
}

}  // namespace orvanta
