#include "platform/win32/WineHost.h"

#include "platform/win32/WinApi.h"  // first of the Windows headers

#include <cstring>

namespace orvanta {

namespace {

using WineGetVersion = const char*(CDECL*)();
using WineGetHostVersion = void(CDECL*)(const char** sysname, const char** release);
using WineGetDosFileName = WCHAR*(CDECL*)(const char* unixPath);

template <typename Function>
Function Export(const wchar_t* module, const char* name) {
    HMODULE handle = ::GetModuleHandleW(module);
    if (handle == nullptr) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(handle, name)));
}

}  // namespace

bool RunsUnderWineOnLinux() {
    if (Export<WineGetVersion>(L"ntdll.dll", "wine_get_version") == nullptr) return false;
    if (auto hostVersion = Export<WineGetHostVersion>(L"ntdll.dll", "wine_get_host_version")) {
        const char* system = nullptr;
        const char* release = nullptr;
        hostVersion(&system, &release);
        if (system != nullptr && std::strcmp(system, "Linux") != 0) return false;
    }
    return true;
}

std::wstring WineHostFileName(const std::string& hostPath) {
    if (!RunsUnderWineOnLinux()) return {};
    auto dosName = Export<WineGetDosFileName>(L"kernel32.dll", "wine_get_dos_file_name");
    WCHAR* name = dosName == nullptr ? nullptr : dosName(hostPath.c_str());
    if (name == nullptr) return {};
    std::wstring copy = name;
    ::HeapFree(::GetProcessHeap(), 0, name);
    return copy;
}

}  // namespace orvanta
