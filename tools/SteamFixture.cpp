#include "tools/SteamFixture.h"

namespace orvanta::tools {

namespace {

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

}  // namespace

std::string LibraryFoldersVdf(const std::vector<std::string>& libraries) {
    std::string text = "\"libraryfolders\"\n{\n";
    for (std::size_t i = 0; i < libraries.size(); ++i) {
        text += "\t" + Quoted(std::to_string(i)) + "\n\t{\n";
        text += "\t\t\"path\"\t\t" + Quoted(libraries[i]) + "\n";
        text += "\t\t\"label\"\t\t\"\"\n\t\t\"contentid\"\t\t\"7113916524190465234\"\n\t\t\"totalsize\"\t\t\"0\"\n";
        text += "\t\t\"apps\"\n\t\t{\n\t\t\t\"314160\"\t\t\"14306478081\"\n\t\t}\n\t}\n";
    }
    return text + "}\n";
}

}  // namespace orvanta::tools
