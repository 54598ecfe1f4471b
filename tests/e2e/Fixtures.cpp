#include "e2e/Fixtures.h"

#include <exception>
#include <filesystem>

#include "support/PackageBuilder.h"
#include "support/SimFolderBuilder.h"
#include "support/TempDir.h"

namespace orvanta::e2e {

namespace fs = std::filesystem;

std::string SceneryFile(const std::string& simFolder, const std::string& area, const std::string& name) {
    return test::SimSceneryPath(simFolder + "\\", area, name + ".bgl");
}

std::string OldContent(const std::string& name) { return "simulator's own " + name + " of an older cycle"; }

bool WritePackage(const std::string& folder, const std::string& installerExe) {
    try {
        RemoveTree(folder);
        test::PackageBuilder builder;
        builder.atx = {"ATX05021", "ATX06011"};
        builder.nvx = {"NVX04021"};
        builder.Write(folder);
        for (const char* file : {"APXFiles\\APX47180", "ATXFiles\\ATX05021", "ATXFiles\\ATX06011", "NVXFiles\\NVX04021"})
            test::SetLocalModifiedTime(folder + "\\" + file + ".bgl", 2022, 12, 1, 10, 0, 0);
        fs::copy_file(fs::u8path(installerExe), fs::u8path(folder + "\\Orvanta_Installer.exe"));
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool WriteSimulator(const std::string& folder, const std::string& exeSource, const std::string& exeName,
                    const std::string& packageFolder) {
    try {
        RemoveTree(folder);
        test::SimFolderBuilder builder;
        builder.executableName = exeName;
        builder.executableBytes = test::ReadBytes(exeSource);
        builder.Add("0502", "APX47180.bgl", OldContent("APX47180"))
            .Add("0402", "NVX04021.bgl", OldContent("NVX04021"))
            .Add("0502", "ATX05021.bgl", test::ReadBytes(packageFolder + "\\ATXFiles\\ATX05021.bgl"))
            .Add("0601", "ATX06011.bgl.bglbckup", OldContent("ATX06011"))
            .Write(folder);
        test::SetLocalModifiedTime(SceneryFile(folder, "0502", "APX47180"), 2020, 1, 1, 9, 0, 0);
        test::SetLocalModifiedTime(SceneryFile(folder, "0402", "NVX04021"), 2020, 1, 1, 9, 0, 0);
        // Same day, another hour: still the same file.
        test::SetLocalModifiedTime(SceneryFile(folder, "0502", "ATX05021"), 2022, 12, 1, 8, 0, 0);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void RemoveTree(const std::string& folder) {
    std::error_code ec;
    const fs::path root = fs::u8path(folder);
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(root, ec);
}

}  // namespace orvanta::e2e
