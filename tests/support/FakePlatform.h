#pragma once

#include <memory>

#include "platform/NativePlatform.h"
#include "support/Fakes.h"
#include "support/PlatformFakes.h"

namespace orvanta::test {

// The machine for tests: the real file system of this platform (tests work in temporary
// folders) and the fakes for everything else, lent as one Platform.
struct FakePlatform {
    std::unique_ptr<NativePlatform> native = MakeNativePlatform({});
    FakeEnvironment env;
    FixedRegional regional;
    FakeRegistry registry;
    FakeFileVersions versions;
    FakeProcesses processes;
    MemorySettings settings;
    FakeShell shell;
    FakeAccessControl access;
    Platform platform{native->get().fs, env, regional, registry, versions, processes, settings, shell, access};

    FileSystem& fs() { return platform.fs; }
};

}  // namespace orvanta::test
