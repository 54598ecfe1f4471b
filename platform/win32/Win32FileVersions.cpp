#include "platform/win32/Win32FileVersions.h"

#include "platform/win32/WinApi.h"  // first of the Windows headers

#include <winver.h>

#include <vector>

#include "platform/PeVersionReader.h"
#include "platform/win32/LongPath.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/WinText.h"

namespace orvanta {

namespace {

FileVersion ReadThroughVersionApi(const std::wstring& file) {
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

}  // namespace

FileVersion Win32FileVersions::Read(const std::string& path) {
    const std::wstring file = WidePath(path);
    const FileVersion version = ReadThroughVersionApi(file);
    if (!version.IsZero()) return version;
    // The version API loads the file as a module, which not every system allows beyond
    // MAX_PATH; the resource is then read from the file's bytes.
    if (file == ToWide(path)) return version;
    Win32FileSystem fs;
    if (!fs.Exists(path) || fs.IsFolder(path)) return {};
    const ReadBytesAt read = [&](std::uint64_t offset, std::size_t count, std::vector<std::uint8_t>& bytes) {
        return fs.ReadBytes(path, offset, count, bytes).ok() && bytes.size() == count;
    };
    return ReadPeFileVersion(read);
}

}  // namespace orvanta
