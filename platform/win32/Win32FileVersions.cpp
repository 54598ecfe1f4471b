#include "platform/win32/Win32FileVersions.h"

#include "platform/win32/WinApi.h"  // first of the Windows headers

#include <winver.h>

#include <vector>

#include "platform/win32/WinText.h"

namespace orvanta {

FileVersion Win32FileVersions::Read(const std::string& path) {
    const std::wstring file = ToWide(path);
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0) return {};
    std::vector<BYTE> block(size, 0);
    if (!::GetFileVersionInfoW(file.c_str(), 0, size, block.data())) return {};
    void* fixed = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.data(), L"\\", &fixed, &length) || fixed == nullptr ||
        length < sizeof(VS_FIXEDFILEINFO)) {
        return {};
    }
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
    FileVersion version;
    version.major = HIWORD(info->dwFileVersionMS);
    version.minor = LOWORD(info->dwFileVersionMS);
    version.build = HIWORD(info->dwFileVersionLS);
    version.revision = LOWORD(info->dwFileVersionLS);
    return version;
}

}  // namespace orvanta
