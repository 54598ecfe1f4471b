#include "app/Startup.h"

#include <cctype>

#include "package/PathScheme.h"

namespace orvanta {

namespace {

std::string TrimBlanks(const std::string& s) {
    std::size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    std::size_t e = s.find_last_not_of(' ');
    return s.substr(b, e - b + 1);
}

std::string LowerAscii(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

bool CommandLineAsksNoDetect(const std::string& commandLineText) {
    std::size_t start = 0;
    while (start <= commandLineText.size() && !commandLineText.empty()) {
        std::size_t slash = commandLineText.find('/', start);
        if (slash == std::string::npos) slash = commandLineText.size();
        if (LowerAscii(TrimBlanks(commandLineText.substr(start, slash - start))) == "nodetect") return true;
        start = slash + 1;
    }
    return false;
}

std::string ReadCycleLabel(FileSystem& fs, const std::string& appFolder) {
    std::string line;
    bool hasLine = false;
    if (!fs.ReadFirstLine(appFolder + kCycleFileName, line, hasLine) || !hasLine) return "NA";
    return line;
}

}  // namespace orvanta
