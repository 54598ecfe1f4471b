#include "engine/Logs.h"

namespace orvanta {

std::string FormatFileDate(RegionalFormat& regional, const LocalDateTime& time) {
    std::string text = regional.ShortDate(time.year, time.month, time.day);
    if (time.hour != 0 || time.minute != 0 || time.second != 0) {
        text += ' ';
        text += regional.Time(time.hour, time.minute, time.second);
    }
    return text;
}

FsStatus DescribeFile(FileSystem& fs, RegionalFormat& regional, const std::string& path, std::string& description) {
    FileInfo info;
    if (FsStatus st = fs.QueryFile(path, info); !st) return st;
    if (!info.exists) {
        description = " [not existing]";
        return FsStatus::Ok();
    }
    description = " [" + FormatFileDate(regional, info.modified) + "-" + std::to_string(info.length) + "]";
    return FsStatus::Ok();
}

void WriteLogFile(FileSystem& fs, const std::string& folder, const char* name, const std::string& text) {
    const std::string path = folder + name;
    if (fs.Exists(path) && !fs.DeleteFile(path)) return;
    (void)fs.WriteTextFile(path, text);
}

}  // namespace orvanta
