#include "engine/RunTypes.h"

#include "engine/Logs.h"

namespace orvanta {

std::string DescribeForRecord(RunTools tools, const std::string& path) {
    std::string description;
    if (!DescribeFile(tools.fs, tools.regional, path, description)) return " [unreadable]";
    return description;
}

std::string DescribeForStep(RunTools tools, const std::string& path) {
    std::string description;
    ThrowOnFailure(DescribeFile(tools.fs, tools.regional, path, description));
    return description;
}

}  // namespace orvanta
