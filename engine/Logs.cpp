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
    if (!fs.Exists(path)) {
        description = " [not existing]";
        return FsStatus::Ok();
    }
    LocalDateTime time;
    if (FsStatus st = fs.ModifiedTime(path, time); !st) return st;
    std::uint64_t length = 0;
    if (FsStatus st = fs.FileLength(path, length); !st) return st;
    description = " [" + FormatFileDate(regional, time) + "-" + std::to_string(length) + "]";
    return FsStatus::Ok();
}

void WriteLogFile(FileSystem& fs, const std::string& folder, const char* name, const std::string& text) {
    const std::string path = folder + name;
    if (fs.Exists(path) && !fs.DeleteFile(path)) return;
    (void)fs.WriteTextFile(path, text);
}

}  // namespace orvanta
