#include "e2e/Fixtures.h"

#include <exception>
#include <filesystem>

#include "support/PackageBuilder.h"
#include "support/TempDir.h"

namespace orvanta::e2e {

namespace fs = std::filesystem;

namespace {

struct Entry {
    const char* category;
    const char* name;
    const char* area;
};

constexpr Entry kEntries[] = {
    {"APX", "APX47180", "0502"}, {"ATX", "ATX05021", "0502"}, {"ATX", "ATX06011", "0601"},
    {"ATX", "ATX00001", "0000"}, {"NVX", "NVX04021", "0402"}, {"NVX", "NVX05011", "0501"},
};

void DatePackageFile(const std::string& path) { test::SetLocalModifiedTime(path, 2022, 12, 1, 10, 0, 0); }

}  // namespace

std::string SceneryFile(const std::string& simFolder, const std::string& area, const std::string& name) {
    return simFolder + "\\Scenery\\" + area + "\\scenery\\" + name + ".bgl";
}

std::string OldContent(const std::string& name) { return "simulator's own " + name + " of an older cycle"; }

std::string PackageContent(const std::string& name) { return "BGL " + name; }

bool WritePackage(const std::string& folder, const std::string& installerExe) {
    try {
        RemoveTree(folder);
        test::PackageBuilder builder;
        builder.apx = {"APX47180"};
        builder.atx = {"ATX05021", "ATX06011", "ATX00001"};
        builder.nvx = {"NVX04021", "NVX05011"};
        builder.magvar = test::MagvarBytes(0x2022, 3);
        builder.Write(folder);
        for (const Entry& e : kEntries) {
            DatePackageFile(folder + "\\" + e.category + "Files\\" + e.name + ".bgl");
        }
        fs::copy_file(fs::u8path(installerExe), fs::u8path(folder + "\\Orvanta_Installer.exe"),
                      fs::copy_options::overwrite_existing);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool WriteSimulator(const std::string& folder, const std::string& exeSource, const std::string& exeName,
                    const std::string& packageFolder) {
    try {
        RemoveTree(folder);
        test::MakeFolder(folder);
        fs::copy_file(fs::u8path(exeSource), fs::u8path(folder + "\\" + exeName));
        const auto updatable = [&](const char* area, const char* name) {
            const std::string path = SceneryFile(folder, area, name);
            test::WriteBytes(path, OldContent(name));
            test::SetLocalModifiedTime(path, 2020, 1, 1, 9, 0, 0);
        };
        const auto upToDate = [&](const char* area, const char* category, const char* name) {
            const std::string path = SceneryFile(folder, area, name);
            test::WriteBytes(path, test::ReadBytes(packageFolder + "\\" + category + "Files\\" + name + ".bgl"));
            // Same day, another hour: still the same file.
            test::SetLocalModifiedTime(path, 2022, 12, 1, 8, 0, 0);
        };
        updatable("0502", "APX47180");
        upToDate("0502", "ATX", "ATX05021");
        test::MakeFolder(folder + "\\Scenery\\0601\\scenery");
        updatable("0000", "ATX00001");
        updatable("0402", "NVX04021");
        upToDate("0501", "NVX", "NVX05011");
        test::WriteBytes(folder + "\\Scenery\\base\\Scenery\\magdec.bgl", test::MagvarBytes(0x2021, 1));
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void RemoveTree(const std::string& folder) {
    std::error_code ec;
    const fs::path root = fs::u8path(folder);
    // Read-only files left by a scenario must not keep the tree alive.
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(root, ec);
}

std::string ReadFile(const std::string& path) { return test::ReadBytes(path); }

bool Exists(const std::string& path) { return test::FileExists(path); }

bool IsEmptyFolder(const std::string& path) {
    std::error_code ec;
    const fs::path p = fs::u8path(path);
    return fs::is_directory(p, ec) && fs::is_empty(p, ec);
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    try {
        test::WriteBytes(path, bytes);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace orvanta::e2e
