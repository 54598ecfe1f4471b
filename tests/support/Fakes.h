#pragma once

#include <map>
#include <optional>
#include <string>
#include <tuple>

#include "platform/Environment.h"
#include "platform/Settings.h"

namespace orvanta::test {

// A regional format with fixed, recognisable renderings: "7.3.2021" and "14h5m9".
class FixedRegional : public RegionalFormat {
public:
    std::string ShortDate(int y, int m, int d) override {
        return std::to_string(d) + "." + std::to_string(m) + "." + std::to_string(y);
    }
    std::string Time(int h, int mi, int s) override {
        return std::to_string(h) + "h" + std::to_string(mi) + "m" + std::to_string(s);
    }
};

// Settings in memory; either direction can be made to fail.
class MemorySettings : public Settings {
public:
    std::map<std::tuple<std::string, std::string, std::string>, std::string> values;
    bool failRead = false;
    bool failWrite = false;

    std::optional<std::string> Get(const std::string& a, const std::string& s, const std::string& k,
                                   const std::string& defaultValue) override {
        if (failRead) return std::nullopt;
        auto it = values.find({a, s, k});
        return it == values.end() ? defaultValue : it->second;
    }
    bool Save(const std::string& a, const std::string& s, const std::string& k, const std::string& v) override {
        if (failWrite) return false;
        values[{a, s, k}] = v;
        return true;
    }
};

}  // namespace orvanta::test
