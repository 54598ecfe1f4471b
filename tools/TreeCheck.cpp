#include "tools/TreeCheck.h"

#include <cctype>

namespace orvanta::tools {

namespace {

const std::string kBackup = ".bglbckup";
const std::string kMagvar = "magdec.bgl";
const std::string kMagvarBackup = ".bak";
const char* const kOldBackups[] = {".raxini", ".p3dini", ".ilsbckup"};

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

std::string FileName(const std::string& relative) { return relative.substr(relative.find_last_of('/') + 1); }

bool Holds(const Tree& tree, const std::string& relative, const std::string& content) {
    auto it = tree.find(relative);
    return it != tree.end() && it->second == content;
}

}  // namespace

LossReport CheckNothingLost(const Tree& originals, const Tree& package, const Tree& now) {
    LossReport r;
    for (const auto& [relative, content] : originals) {
        const bool magvar = EndsWith(Lower(relative), kMagvar);
        if (Holds(now, relative, content)) {
            ++r.inPlace;
        } else {
            bool found = Holds(now, relative + (magvar ? kMagvarBackup : kBackup), content);
            for (const char* old : kOldBackups) found = found || Holds(now, relative + old, content);
            if (!found) r.problems.push_back("lost: " + relative);
            r.atBackup += found ? 1 : 0;
        }
        // The simulator does not start without a magvar table.
        if (magvar && !Holds(now, relative, content)) {
            auto shipped = package.find(kMagvar);
            if (shipped == package.end() || !Holds(now, relative, shipped->second)) {
                r.problems.push_back("no magvar table in place: " + relative);
            }
        }
    }
    for (const auto& [relative, content] : now) {
        const std::string lower = Lower(relative);
        if (EndsWith(lower, ".orvanta-partial")) {
            ++r.leftovers;
        } else if (EndsWith(lower, kBackup)) {
            if (!Holds(originals, relative.substr(0, relative.size() - kBackup.size()), content)) {
                r.problems.push_back("backup of something else than the simulator's own file: " + relative);
            }
        } else if (EndsWith(lower, ".bgl") && !EndsWith(lower, "int_t.bgl") && !Holds(originals, relative, content)) {
            // (Obsolete area files "...INT_T.BGL" of older packages are the migration's to delete.)
            if (Holds(package, Lower(FileName(relative)), content)) {
                ++r.replaced;
            } else {
                r.problems.push_back("partly written or foreign: " + relative);
            }
        }
    }
    return r;
}

std::vector<std::string> CompareWithOriginals(const Tree& originals, Tree now,
                                              const std::vector<std::string>& ignoredSuffixes) {
    Tree expected = originals;
    for (auto it = now.begin(); it != now.end();) {
        bool ignored = false;
        for (const std::string& suffix : ignoredSuffixes) ignored = ignored || EndsWith(it->first, suffix);
        it = ignored ? now.erase(it) : std::next(it);
    }
    for (const auto& [relative, content] : originals) {
        if (EndsWith(Lower(relative), kMagvar) && Holds(now, relative + kMagvarBackup, content)) {
            now.erase(relative + kMagvarBackup);
            now.erase(relative);
            expected.erase(relative);
        }
    }
    std::vector<std::string> differences;
    for (const auto& [relative, content] : expected) {
        auto it = now.find(relative);
        if (it == now.end()) {
            differences.push_back("missing: " + relative);
        } else if (it->second != content) {
            differences.push_back("differs: " + relative);
        }
    }
    for (const auto& [relative, content] : now) {
        if (!expected.count(relative)) differences.push_back("left over: " + relative);
    }
    return differences;
}

}  // namespace orvanta::tools
