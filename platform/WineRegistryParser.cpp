#include "platform/WineRegistryParser.h"

#include <vector>

namespace orvanta {

namespace {

constexpr std::string_view kSignature = "WINE REGISTRY Version 2";
constexpr std::string_view kWowNode = "software\\wow6432node";

char LowerChar(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = LowerChar(c);
    return out;
}

// Lower case, without separators at either end.
std::string NormaliseKey(std::string_view key) {
    std::size_t b = 0, e = key.size();
    while (b < e && key[b] == '\\') ++b;
    while (e > b && key[e - 1] == '\\') --e;
    return LowerAscii(key.substr(b, e - b));
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (LowerChar(s[i]) != LowerChar(prefix[i])) return false;
    }
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

void SkipBlanks(std::string_view s, std::size_t& pos) {
    while (pos < s.size() && IsBlank(s[pos])) ++pos;
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Turns UTF-16 code units (Wine writes every non-ASCII character as \x escapes of them)
// into UTF-8; bytes written as they are pass through unchanged.
class Utf8Builder {
public:
    void Byte(char c) {
        Flush();
        out_ += c;
    }
    void Unit(std::uint32_t u) {
        if (high_ != 0) {
            const std::uint32_t high = high_;
            high_ = 0;
            if (u >= 0xDC00 && u <= 0xDFFF) {
                AppendUtf8(out_, 0x10000 + ((high - 0xD800) << 10) + (u - 0xDC00));
                return;
            }
            AppendUtf8(out_, 0xFFFD);
        }
        if (u >= 0xD800 && u <= 0xDBFF) {
            high_ = u;
        } else if (u >= 0xDC00 && u <= 0xDFFF) {
            AppendUtf8(out_, 0xFFFD);
        } else {
            AppendUtf8(out_, u);
        }
    }
    std::string Finish() {
        Flush();
        return std::move(out_);
    }

private:
    void Flush() {
        if (high_ != 0) AppendUtf8(out_, 0xFFFD);
        high_ = 0;
    }
    std::string out_;
    std::uint32_t high_ = 0;
};

// Reads an escaped text from pos up to the unescaped end character, leaving pos behind it.
// False when the line ends first.
bool ParseEscaped(std::string_view line, std::size_t& pos, char endChar, std::string& text) {
    Utf8Builder b;
    while (pos < line.size()) {
        const char c = line[pos++];
        if (c == endChar) {
            text = b.Finish();
            return true;
        }
        if (c != '\\') {
            if (static_cast<unsigned char>(c) < 0x80)
                b.Unit(static_cast<unsigned char>(c));
            else
                b.Byte(c);
            continue;
        }
        if (pos >= line.size()) return false;
        const char e = line[pos++];
        switch (e) {
            case 'a': b.Unit('\a'); break;
            case 'b': b.Unit('\b'); break;
            case 'e': b.Unit(0x1B); break;
            case 'f': b.Unit('\f'); break;
            case 'n': b.Unit('\n'); break;
            case 'r': b.Unit('\r'); break;
            case 't': b.Unit('\t'); break;
            case 'v': b.Unit('\v'); break;
            case 'x': {
                std::uint32_t unit = 0;
                int digits = 0;
                while (digits < 4 && pos < line.size() && HexDigit(line[pos]) >= 0) {
                    unit = unit * 16 + static_cast<std::uint32_t>(HexDigit(line[pos++]));
                    ++digits;
                }
                b.Unit(digits == 0 ? 'x' : unit);
                break;
            }
            default:
                if (e >= '0' && e <= '7') {
                    std::uint32_t unit = static_cast<std::uint32_t>(e - '0');
                    for (int digits = 1; digits < 3 && pos < line.size() && line[pos] >= '0' && line[pos] <= '7';
                         ++digits) {
                        unit = unit * 8 + static_cast<std::uint32_t>(line[pos++] - '0');
                    }
                    b.Unit(unit);
                } else if (static_cast<unsigned char>(e) < 0x80) {
                    b.Unit(static_cast<unsigned char>(e));  // "\\", "\"", "\[", "\]" and the like
                } else {
                    b.Byte(e);
                }
        }
    }
    return false;
}

// A hexadecimal number of 1 to 8 digits.
bool ParseHexNumber(std::string_view s, std::size_t& pos, std::uint32_t& value) {
    value = 0;
    int digits = 0;
    while (pos < s.size() && HexDigit(s[pos]) >= 0) {
        if (++digits > 8) return false;
        value = value * 16 + static_cast<std::uint32_t>(HexDigit(s[pos++]));
    }
    return digits > 0;
}

bool OnlyBlanksFrom(std::string_view s, std::size_t pos) {
    SkipBlanks(s, pos);
    return pos == s.size();
}

// Comma-separated bytes, continued on the next line after a trailing backslash. `index`
// moves past the continuation lines consumed.
bool ParseHexBytes(const std::vector<std::string_view>& lines, std::size_t& index, std::string_view rest,
                   std::string& bytes) {
    std::size_t pos = 0;
    for (;;) {
        SkipBlanks(rest, pos);
        if (pos == rest.size()) return true;
        if (rest[pos] == '\\' && OnlyBlanksFrom(rest, pos + 1)) {
            if (++index >= lines.size()) return false;  // truncated
            rest = lines[index];
            pos = 0;
            continue;
        }
        const int hi = HexDigit(rest[pos]);
        if (hi < 0) return false;
        int value = hi;
        ++pos;
        if (pos < rest.size() && HexDigit(rest[pos]) >= 0) value = value * 16 + HexDigit(rest[pos++]);
        bytes += static_cast<char>(value);
        SkipBlanks(rest, pos);
        if (pos < rest.size() && rest[pos] == ',')
            ++pos;
        else if (pos < rest.size() && rest[pos] != '\\')
            return false;
    }
}

std::string Utf16LeToUtf8(const std::string& bytes) {
    Utf8Builder b;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        b.Unit(static_cast<unsigned char>(bytes[i]) |
               (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8));
    }
    return b.Finish();
}

bool IsStringType(std::uint32_t type) { return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz; }

// The part after "name=": a string, str(N):"...", dword:N, hex:... or hex(N):...
bool ParseValueData(const std::vector<std::string_view>& lines, std::size_t& index, std::string_view s, std::size_t pos,
                    WineRegistryValue& value) {
    if (pos < s.size() && s[pos] == '"') {
        ++pos;
        value.type = kRegSz;
        return ParseEscaped(s, pos, '"', value.data) && OnlyBlanksFrom(s, pos);
    }
    const std::string_view rest = s.substr(pos);
    if (StartsWithNoCase(rest, "str(")) {
        pos += 4;
        std::uint32_t type = 0;
        if (!ParseHexNumber(s, pos, type)) return false;
        if (s.substr(pos, 3) != "):\"") return false;
        pos += 3;
        value.type = type;
        return ParseEscaped(s, pos, '"', value.data) && OnlyBlanksFrom(s, pos);
    }
    if (StartsWithNoCase(rest, "dword:")) {
        pos += 6;
        std::uint32_t number = 0;
        if (!ParseHexNumber(s, pos, number) || !OnlyBlanksFrom(s, pos)) return false;
        value.type = kRegDword;
        value.data.clear();
        for (int i = 0; i < 4; ++i) value.data += static_cast<char>((number >> (8 * i)) & 0xFF);
        return true;
    }
    if (StartsWithNoCase(rest, "hex")) {
        pos += 3;
        std::uint32_t type = kRegBinary;
        if (pos < s.size() && s[pos] == '(') {
            ++pos;
            if (!ParseHexNumber(s, pos, type) || pos >= s.size() || s[pos] != ')') return false;
            ++pos;
        }
        if (pos >= s.size() || s[pos] != ':') return false;
        ++pos;
        std::string bytes;
        if (!ParseHexBytes(lines, index, s.substr(pos), bytes)) return false;
        value.type = type;
        value.data = IsStringType(type) ? Utf16LeToUtf8(bytes) : std::move(bytes);
        return true;
    }
    return false;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

}  // namespace

const WineRegistryValue* WineRegistryHive::Find(const std::string& key, const std::string& valueName) const {
    auto k = keys.find(NormaliseKey(key));
    if (k == keys.end()) return nullptr;
    auto v = k->second.find(LowerAscii(valueName));
    return v == k->second.end() ? nullptr : &v->second;
}

WineRegistryHive ParseWineRegistry(std::string_view text) {
    WineRegistryHive hive;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    const std::vector<std::string_view> lines = SplitLines(text);
    if (lines.empty() || lines[0].substr(0, kSignature.size()) != kSignature) return hive;

    bool archDeclared = false;
    std::map<std::string, WineRegistryValue>* current = nullptr;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        std::size_t pos = 0;
        SkipBlanks(line, pos);
        if (pos == line.size() || line[pos] == ';') continue;
        const char first = line[pos];
        if (first == '#') {
            const std::string_view directive = line.substr(pos);
            if (directive.substr(0, 11) == "#arch=win64") {
                hive.arch = WineArch::Win64;
                archDeclared = true;
            } else if (directive.substr(0, 11) == "#arch=win32") {
                hive.arch = WineArch::Win32;
                archDeclared = true;
            }
            continue;
        }
        if (first == '[') {
            ++pos;
            std::string key;
            // A key line that cannot be read drops its values rather than filing them
            // under the key before.
            current = ParseEscaped(line, pos, ']', key) ? &hive.keys[NormaliseKey(key)] : nullptr;
            continue;
        }
        if ((first != '"' && first != '@') || current == nullptr) continue;
        std::string name;
        if (first == '@') {
            ++pos;
        } else {
            ++pos;
            if (!ParseEscaped(line, pos, '"', name)) continue;
        }
        SkipBlanks(line, pos);
        if (pos >= line.size() || line[pos] != '=') continue;
        ++pos;
        SkipBlanks(line, pos);
        WineRegistryValue value;
        std::size_t index = i;
        const bool ok = ParseValueData(lines, index, line, pos, value);
        i = index;  // continuation lines belong to this value, read or not
        if (ok) (*current)[LowerAscii(name)] = std::move(value);
    }

    if (!archDeclared) {
        for (const auto& entry : hive.keys) {
            if (entry.first.compare(0, kWowNode.size(), kWowNode) == 0 &&
                (entry.first.size() == kWowNode.size() || entry.first[kWowNode.size()] == '\\')) {
                hive.arch = WineArch::Win64;
                break;
            }
        }
    }
    return hive;
}

std::string WineKeyForView(const WineRegistryHive& hive, const std::string& key, RegistryView view, bool machineHive) {
    const std::string normal = NormaliseKey(key);
    if (!machineHive || hive.arch != WineArch::Win64 || view != RegistryView::Default32) return normal;
    constexpr std::string_view kSoftware = "software";
    if (normal.compare(0, kSoftware.size(), kSoftware) != 0) return normal;
    if (normal.size() != kSoftware.size() && normal[kSoftware.size()] != '\\') return normal;
    // Already addressed in the 32-bit node.
    if (normal.compare(0, kWowNode.size(), kWowNode) == 0 &&
        (normal.size() == kWowNode.size() || normal[kWowNode.size()] == '\\')) {
        return normal;
    }
    return std::string(kWowNode) + normal.substr(kSoftware.size());
}

std::optional<std::string> ReadWineValue(const WineRegistryHive& hive, const std::string& key,
                                         const std::string& valueName, RegistryView view, bool machineHive) {
    const WineRegistryValue* value = hive.Find(WineKeyForView(hive, key, view, machineHive), valueName);
    if (value == nullptr) return std::nullopt;
    return value->data;
}

}  // namespace orvanta
