#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "cli/Cli.h"
#include "support/PackageBuilder.h"
#include "support/ScopedEnv.h"
#include "support/SimFolderBuilder.h"
#include "support/TempDir.h"
#include "tools/PeImage.h"

namespace orvanta {
namespace {

namespace stdfs = std::filesystem;

struct CliRun {
    int code = -1;
    std::string out;
    std::string err;
};

// Runs the command as a user whom file modes bind: as root (who may delete from a read-only
// folder) in a child that has become "nobody", owner of the whole test folder.
CliRun RunAsOrdinaryUser(const std::vector<std::string>& args, const NativePlatformOptions& platform,
                         const std::string& folder) {
    const bool root = ::geteuid() == 0;
    constexpr uid_t kNobody = 65534;
    if (root) {
        ::lchown(folder.c_str(), kNobody, kNobody);
        for (const auto& e : stdfs::recursive_directory_iterator(folder)) ::lchown(e.path().c_str(), kNobody, kNobody);
    }
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeEnds[0]);
        if (root && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) ::_exit(1);
        std::ostringstream out, err;
        const int code = cli::RunOrvanta(args, out, err, platform);
        const std::string report = std::to_string(code) + '\n' + out.str() + '\0' + err.str();
        (void)!::write(pipeEnds[1], report.data(), report.size());
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    std::string report;
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;) report.append(buffer, n);
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    CliRun r;
    const std::size_t eol = report.find('\n');
    const std::size_t nul = report.find('\0');
    if (eol == std::string::npos || nul == std::string::npos) return r;
    r.code = std::stoi(report.substr(0, eol));
    r.out = report.substr(eol + 1, nul - eol - 1);
    r.err = report.substr(nul + 1);
    return r;
}

// A read-only cache folder with a read-only subfolder is emptied; a folder that cannot
// even be listed stays, is named, and the command says it did not empty the cache.
TEST(CleanShadersCommandTest, EmptiesReadOnlyFoldersAndNamesWhatStayed) {
    test::TempDir dir;
    test::ScopedEnv appData("LOCALAPPDATA", dir / "appdata");
    test::PackageBuilder().Write(dir / "pkg");
    test::SimFolderBuilder sim;
    sim.executableName = "FSX.exe";
    sim.executableBytes = tools::MakeVersionedExecutable(10, 0, 61637, 0);
    sim.Write(dir / "FSX");
    const std::string cache = dir / "appdata/Microsoft/FSX/Shaders";
    test::WriteBytes(cache + "/a.bin", "compiled");
    test::WriteBytes(cache + "/sub/b.bin", "compiled");
    test::WriteBytes(cache + "/sealed/c.bin", "compiled");
    ::chmod((cache + "/sub").c_str(), 0555);
    ::chmod((cache + "/sealed").c_str(), 0);
    ::chmod(cache.c_str(), 0555);
    NativePlatformOptions isolated;
    isolated.instanceLockPath = dir / "instance.lock";
    const std::vector<std::string> args = {"--package",    dir / "pkg", "--nodetect",
                                           "--sim-folder", dir / "FSX", "clean-shaders"};

    CliRun r = RunAsOrdinaryUser(args, isolated, dir.path());
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Shader cache not emptied: " + cache + "\nNot removed: " + cache + "/sealed\n");
    EXPECT_TRUE(stdfs::is_directory(cache));
    EXPECT_FALSE(test::FileExists(cache + "/a.bin"));
    EXPECT_FALSE(stdfs::exists(cache + "/sub"));

    ::chmod((cache + "/sealed").c_str(), 0755);
    r = RunAsOrdinaryUser(args, isolated, dir.path());
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Shader cache emptied: " + cache + "\n");
    EXPECT_TRUE(stdfs::is_directory(cache) && stdfs::is_empty(cache));
}

}  // namespace
}  // namespace orvanta
