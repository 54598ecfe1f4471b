#include "platform/SteamLibraryFolders.h"

#include <cctype>

namespace orvanta {

namespace {

// Deeper than any file Steam writes; keeps the recursion bounded on hostile input.
constexpr int kMaxDepth = 32;

struct Token {
    enum Kind { End, Open, Close, Text, Condition, Bad } kind = End;
    std::string text;
};

class Tokenizer {
public:
    explicit Tokenizer(std::string_view text) : text_(text) {}

    // The next token; conditions ("[$WIN32]") are passed over, as this reader has no
    // platform to test them against and the files in question carry none that matter.
    Token Next() {
        for (;;) {
            Token t = Read();
            if (t.kind != Token::Condition) return t;
        }
    }

private:
    bool AtEnd() const { return pos_ >= text_.size(); }
    char Peek(std::size_t ahead = 0) const { return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0'; }

    void SkipBlanksAndComments() {
        while (!AtEnd()) {
            const char c = Peek();
            if (std::isspace(static_cast<unsigned char>(c)) != 0) {
                ++pos_;
            } else if (c == '/' && Peek(1) == '/') {
                while (!AtEnd() && Peek() != '\n') ++pos_;
            } else {
                return;
            }
        }
    }

    Token Read() {
        SkipBlanksAndComments();
        if (AtEnd()) return {};
        const char c = text_[pos_];
        if (c == '{' || c == '}') {
            ++pos_;
            return {c == '{' ? Token::Open : Token::Close, {}};
        }
        if (c == '"') return Quoted();
        Token t{Token::Text, {}};
        while (!AtEnd()) {
            const char d = Peek();
            if (std::isspace(static_cast<unsigned char>(d)) != 0 || d == '"' || d == '{' || d == '}') break;
            t.text += d;
            ++pos_;
        }
        if (t.text.size() >= 2 && t.text.front() == '[' && t.text.back() == ']') t.kind = Token::Condition;
        return t;
    }

    Token Quoted() {
        ++pos_;  // the opening quote
        Token t{Token::Text, {}};
        while (!AtEnd()) {
            const char c = text_[pos_++];
            if (c == '"') return t;
            if (c == '\\' && !AtEnd()) {
                const char e = text_[pos_++];
                switch (e) {
                    case 'n': t.text += '\n'; break;
                    case 't': t.text += '\t'; break;
                    case '\\':
                    case '"': t.text += e; break;
                    default:
                        // Not an escape Steam writes: kept as it stands.
                        t.text += '\\';
                        t.text += e;
                }
                continue;
            }
            t.text += c;
        }
        return {Token::Bad, {}};  // no closing quote
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

bool ParseBlock(Tokenizer& tokens, int depth, std::vector<KeyValue>& out) {
    const bool topLevel = depth == 0;
    for (;;) {
        Token key = tokens.Next();
        if (key.kind == Token::End) return topLevel;
        if (key.kind == Token::Close) return !topLevel;
        if (key.kind != Token::Text) return false;
        KeyValue kv;
        kv.key = std::move(key.text);
        Token value = tokens.Next();
        if (value.kind == Token::Open) {
            if (depth + 1 > kMaxDepth) return false;
            kv.isBlock = true;
            if (!ParseBlock(tokens, depth + 1, kv.children)) return false;
        } else if (value.kind == Token::Text) {
            kv.value = std::move(value.text);
        } else {
            return false;
        }
        out.push_back(std::move(kv));
    }
}

bool EqualsIgnoringCase(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return i == a.size() && b[i] == '\0';
}

bool IsNumber(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

}  // namespace

std::optional<std::vector<KeyValue>> ParseKeyValues(std::string_view text) {
    Tokenizer tokens(text);
    std::vector<KeyValue> top;
    if (!ParseBlock(tokens, 0, top)) return std::nullopt;
    return top;
}

std::optional<std::vector<std::string>> ParseLibraryFolders(std::string_view text) {
    // Saved by an editor that marks UTF-8 files.
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) text.remove_prefix(kByteOrderMark.size());
    const std::optional<std::vector<KeyValue>> top = ParseKeyValues(text);
    if (!top) return std::nullopt;
    for (const KeyValue& root : *top) {
        if (!root.isBlock || !EqualsIgnoringCase(root.key, "libraryfolders")) continue;
        std::vector<std::string> folders;
        for (const KeyValue& entry : root.children) {
            if (!IsNumber(entry.key)) continue;
            if (!entry.isBlock) {
                if (!entry.value.empty()) folders.push_back(entry.value);
                continue;
            }
            for (const KeyValue& field : entry.children) {
                if (!field.isBlock && EqualsIgnoringCase(field.key, "path") && !field.value.empty()) {
                    folders.push_back(field.value);
                    break;
                }
            }
        }
        return folders;
    }
    return std::nullopt;
}

}  // namespace orvanta
