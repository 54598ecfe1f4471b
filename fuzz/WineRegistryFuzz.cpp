#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/WineRegistryParser.h"

// Any bytes as a registry file: the parser must neither crash nor read outside them.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const orvanta::WineRegistryHive hive =
        orvanta::ParseWineRegistry(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const auto& key : hive.keys) {
        for (const auto& value : key.second) {
            orvanta::ReadWineValue(hive, key.first, value.first, orvanta::RegistryView::Default32, true);
        }
    }
    return 0;
}
