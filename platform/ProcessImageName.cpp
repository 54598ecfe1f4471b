#include "platform/ProcessImageName.h"

#include <cctype>

namespace orvanta {

std::string ImageNameOf(const std::string& cmdline, const std::string& comm) {
    std::string first = cmdline.substr(0, cmdline.find('\0'));
    if (first.empty()) {
        std::string name = comm;
        while (!name.empty() && (name.back() == '\n' || name.back() == '\0')) name.pop_back();
        return name;
    }
    const std::size_t sep = first.find_last_of("/\\");
    return sep == std::string::npos ? first : first.substr(sep + 1);
}

bool IsFsxImageName(const std::string& name) {
    static constexpr char kFsx[] = "fsx.exe";
    if (name.size() != sizeof kFsx - 1) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(name[i])) != kFsx[i]) return false;
    }
    return true;
}

}  // namespace orvanta
