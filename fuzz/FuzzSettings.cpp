// The per-user settings file that holds the install count: a text file the user (or any
// other program) may have edited. The count must survive whatever else the file holds.
#include <fuzzer/FuzzedDataProvider.h>

#include <unistd.h>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>

#include "housekeeping/LaunchCounter.h"
#include "platform/TextLines.h"
#include "platform/posix/PosixSettings.h"

using namespace orvanta;

namespace {

// Made once per fuzzing process and removed when it exits; kept alive past the static
// destructors so that the exit handler can still name it.
const std::string& ConfigFolder() {
    static const std::string* folder = [] {
        // On tmpfs where there is one: the settings file is synced on every save.
        auto* made = new std::string(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp");
        *made += "/orvanta-fuzz-settings.XXXXXX";
        if (::mkdtemp(made->data()) == nullptr) std::abort();
        ::setenv("XDG_CONFIG_HOME", made->c_str(), 1);
        return made;
    }();
    static const bool cleanup = std::atexit([] { std::filesystem::remove_all(*folder); }) == 0;
    (void)cleanup;
    return *folder;
}

std::string Name(FuzzedDataProvider& input) {
    std::string name = input.ConsumeRandomLengthString(12);
    std::string kept;
    for (char c : name) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) kept += c;
    }
    return kept.empty() ? "k" : kept;
}

// The stored count as a number: blanks around it, an optional sign, decimal digits, in the
// 32-bit range; anything else is no number.
bool StoredNumber(const std::string& text, std::int32_t& value) {
    const std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return false;
    std::string digits = text.substr(begin, text.find_last_not_of(" \t") + 1 - begin);
    if (digits[0] == '+') digits.erase(0, 1);
    if (digits.empty() || digits[0] == '+' || (digits[0] == '-' && digits.size() == 1)) return false;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return error == std::errc() && end == digits.data() + digits.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string section = Name(input);
    const std::string key = Name(input);
    std::string value = input.ConsumeRandomLengthString(16);
    value.erase(std::remove_if(value.begin(), value.end(), [](char c) { return c == '\n' || c == '\r'; }), value.end());
    const std::string text = input.ConsumeRemainingBytesAsString();

    // The ini text on its own: a value set is the value found, and setting changes no
    // other line's count.
    const std::vector<std::string> lines = SplitLines(text);
    const std::vector<std::string> set = SetIniValue(lines, section, key, value);
    const auto found = FindIniValue(set, section, key);
    if (!found || *found != value) std::abort();
    if (set.size() < lines.size() || set.size() > lines.size() + 2) std::abort();

    // The file itself, through the install counter.
    const std::string path = ConfigFolder() + "/" + kCounterApplication + ".ini";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    PosixSettings settings;
    const auto before = settings.Get(kCounterApplication, kCounterSection, kCounterKey, "0");
    const std::int32_t count = CountUpdateLaunch(settings);
    std::int32_t previous = 0;
    const bool number = before && StoredNumber(*before, previous);
    // (-2 counts on to -1, which reads as a failure.)
    if ((count != -1) != (number && previous < std::numeric_limits<std::int32_t>::max() && previous != -2))
        std::abort();
    if (count != -1) {
        if (previous + 1 != count) std::abort();
        const auto after = settings.Get(kCounterApplication, kCounterSection, kCounterKey, "0");
        if (!after || *after != std::to_string(count)) std::abort();
        if (count < std::numeric_limits<std::int32_t>::max() && CountUpdateLaunch(settings) != count + 1) std::abort();
    }
    return 0;
}
