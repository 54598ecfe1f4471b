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

namespace orvanta {

namespace {

class PosixPlatform : public NativePlatform {
public:
    explicit PosixPlatform(const NativePlatformOptions& options)
        : env_(options.commandLineText, options.winePrefix),
          registry_(ResolveWinePrefix(options.winePrefix)),
          versions_(fs_),
          platform_{fs_, env_, regional_, registry_, versions_, processes_, settings_, shell_, access_} {}

    Platform& get() override { return platform_; }

private:
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

}  // namespace orvanta
