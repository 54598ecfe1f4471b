#include <filesystem>
#include <memory>

#include "platform/NativePlatform.h"
#include "platform/posix/PosixEnvironment.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixFileVersions.h"
#include "platform/posix/PosixProcesses.h"
#include "platform/posix/PosixRegistry.h"
#include "platform/posix/PosixSettings.h"
#include "platform/posix/PosixShell.h"
#include "platform/posix/PosixStubs.h"
#include "platform/posix/WinePrefixes.h"

namespace orvanta {

namespace {

class PosixPlatform : public NativePlatform {
public:
    explicit PosixPlatform(const NativePlatformOptions& options)
        : winePrefixOption_(options.winePrefix),
          fs_(options.watchFolders ? PosixFileSystem::Watching::WhereReported : PosixFileSystem::Watching::Never),
          env_(options.commandLineText, ResolveWinePrefix(options.winePrefix), options.instanceLockPath),
          registry_(ResolveWinePrefix(options.winePrefix)),
          versions_(fs_),
          platform_{fs_, env_, regional_, registry_, versions_, processes_, settings_, shell_, access_} {}

    Platform& get() override { return platform_; }

    std::vector<SimulatorRegistry> SimulatorRegistries() override {
        if (prefixes_.empty()) {
            // The first prefix is the platform's own; the others are read only when asked.
            prefixes_ = WinePrefixesToSearch(winePrefixOption_);
            for (std::size_t i = 1; i < prefixes_.size(); ++i) {
                others_.push_back(std::make_unique<PosixRegistry>(prefixes_[i]));
            }
        }
        std::vector<SimulatorRegistry> registries = {{&registry_, prefixes_[0]}};
        for (std::size_t i = 1; i < prefixes_.size(); ++i) registries.push_back({others_[i - 1].get(), prefixes_[i]});
        return registries;
    }

    void UseLocalAppDataOf(std::size_t index) override {
        const std::vector<SimulatorRegistry> registries = SimulatorRegistries();
        if (index < registries.size()) env_.UseWinePrefix(registries[index].winePrefix);
    }

private:
    std::string winePrefixOption_;
    std::vector<std::string> prefixes_;
    std::vector<std::unique_ptr<PosixRegistry>> others_;
    PosixFileSystem fs_;
    PosixEnvironment env_;
    PosixRegionalFormat regional_;
    PosixRegistry registry_;
    PosixFileVersions versions_;
    PosixProcesses processes_;
    PosixSettings settings_;
    PosixShell shell_;
    PosixAccessControl access_;
    Platform platform_;
};

}  // namespace

std::unique_ptr<NativePlatform> MakeNativePlatform(const NativePlatformOptions& options) {
    return std::make_unique<PosixPlatform>(options);
}

}  // namespace orvanta

namespace orvanta {

std::vector<std::string> NativeArguments(int argc, char** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    return args;
}

std::string NativeAbsolutePath(const std::string& path) {
    if (!path.empty() && path[0] == '/') return path;
    std::error_code ec;
    const std::filesystem::path current = std::filesystem::current_path(ec);
    // Without a current folder there is nothing to make the path absolute against.
    return ec ? path : AbsolutePathFrom(current.string(), path);
}

}  // namespace orvanta
