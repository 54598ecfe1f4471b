// A Wine prefix's system.reg or user.reg: written by Wine, but read from a folder the
// user points at, so any bytes. Parsing must never fail, and what it reads must be
// readable back through every view.
#include <cstdlib>
#include <string_view>

#include "platform/WineRegistryParser.h"

using namespace orvanta;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const WineRegistryHive hive = ParseWineRegistry(text);
    for (const auto& [key, values] : hive.keys) {
        for (const auto& [name, value] : values) {
            // Keys and names are kept in lower case, and Find answers for what it holds.
            if (hive.Find(key, name) != &value) std::abort();
        }
    }
    const char* keys[] = {"Software\\Microsoft\\Microsoft Games\\Flight Simulator\\10.0",
                          "Software\\Lockheed Martin\\Prepar3D v4", "Software\\Wine", ""};
    for (const char* key : keys) {
        for (RegistryView view : {RegistryView::Default32, RegistryView::View64}) {
            for (bool machine : {true, false}) {
                (void)WineKeyForView(hive, key, view, machine);
                (void)ReadWineValue(hive, key, "SetupPath", view, machine);
                (void)ReadWineValue(hive, key, "", view, machine);
            }
        }
    }
    return 0;
}
