#include <memory>

#include "platform/NativePlatform.h"
#include "platform/win32/Win32AccessControl.h"
#include "platform/win32/Win32Environment.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32FileVersions.h"
#include "platform/win32/Win32Processes.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Settings.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/WinApi.h"  // first of the Windows headers below

#include <shellapi.h>

#include "platform/win32/WinText.h"

namespace orvanta {

namespace {

class Win32Platform : public NativePlatform {
public:
    explicit Win32Platform(const NativePlatformOptions& options)
        : env_(options.commandLineText, options.instanceLockPath),
          platform_{fs_, env_, regional_, registry_, versions_, processes_, settings_, shell_, access_} {}

    Platform& get() override { return platform_; }
    std::vector<SimulatorRegistry> SimulatorRegistries() override { return {{&registry_, {}}}; }
    void UseLocalAppDataOf(std::size_t) override {}

private:
    Win32FileSystem fs_;
    Win32Environment env_;
    Win32RegionalFormat regional_;
    Win32Registry registry_;
    Win32FileVersions versions_;
    Win32Processes processes_;
    Win32Settings settings_;
    Win32Shell shell_;
    Win32AccessControl access_;
    Platform platform_;
};

}  // namespace

std::unique_ptr<NativePlatform> MakeNativePlatform(const NativePlatformOptions& options) {
    return std::make_unique<Win32Platform>(options);
}

std::vector<std::string> NativeArguments(int argc, char** argv) {
    std::vector<std::string> args;
    // The narrow argv holds the ANSI code page's idea of the arguments; the wide command
    // line holds them whole.
    int count = 0;
    if (wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count); wide != nullptr) {
        for (int i = 1; i < count; ++i) args.push_back(ToUtf8(wide[i], wcslen(wide[i])));
        ::LocalFree(wide);
        return args;
    }
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    return args;
}

std::string NativeAbsolutePath(const std::string& path) {
    const std::wstring wide = ToWide(path.empty() ? std::string(".") : path);
    const DWORD size = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::wstring full(size, L'\0');
    const DWORD n = ::GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
    if (n == 0 || n >= size) return path;
    full.resize(n);
    return ToUtf8(full);
}

}  // namespace orvanta
