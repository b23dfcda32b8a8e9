#include "platform/registry/RegFile.h"

#include "platform/registry/Registry.h"
#include "platform/text/Hex.h"

#include <optional>

namespace nv::platform {
namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::string_view kHeaderV5 = "Windows Registry Editor Version 5.00";
constexpr std::size_t kHexBytesPerLine = 25;

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    return s;
}

// Splits text into lines on LF; the last piece is a line when non-empty.
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}
    bool AtEnd() const { return pos_ >= text_.size(); }
    std::string_view Peek() const {
        std::size_t end = text_.find('\n', pos_);
        return text_.substr(pos_, end == std::string_view::npos ? end : end - pos_);
    }
    std::string_view Next() {
        std::string_view line = Peek();
        pos_ += line.size() + 1;
        lastTerminated_ = pos_ <= text_.size();
        return line;
    }
    // Where the next line starts (the text's size at the end).
    std::size_t Pos() const { return pos_ < text_.size() ? pos_ : text_.size(); }
    // False when the line Next returned last ran to the end of the text without a newline:
    // the file may have been cut inside it.
    bool LastTerminated() const { return lastTerminated_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    bool lastTerminated_ = true;
};

// Reads a quoted text starting right after its opening quote: backslash-backslash and
// backslash-quote stand for themselves, any other backslash is kept. Advances S past the
// closing quote; nullopt when there is none.
std::optional<std::string> ReadQuoted(std::string_view& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == '"') {
            s.remove_prefix(i + 1);
            return out;
        }
        if (c == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) {
            c = s[++i];
        }
        out += c;
    }
    return std::nullopt;
}

void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (char c : text) {
        if (c == '\\' || c == '"') {
            out += '\\';
        }
        out += c;
    }
    out += '"';
}

// Reads hex bytes "xx,xx,..": each exactly two digits, an optional comma after the last.
std::optional<std::vector<std::uint8_t>> ReadHexBytes(std::string_view s) {
    std::vector<std::uint8_t> bytes;
    s = TrimLeft(TrimRight(s));
    while (!s.empty()) {
        std::size_t comma = s.find(',');
        std::string_view token = TrimLeft(TrimRight(s.substr(0, comma)));
        if (token.size() != 2 || text::HexDigitValue(token[0]) < 0 ||
            text::HexDigitValue(token[1]) < 0) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<std::uint8_t>(text::HexDigitValue(token[0]) * 16 +
                                                  text::HexDigitValue(token[1])));
        if (bytes.size() > kMaxValueDataBytes) {
            return std::nullopt;
        }
        if (comma == std::string_view::npos) {
            break;
        }
        s = TrimLeft(s.substr(comma + 1));
    }
    return bytes;
}

// True when a line can continue a hex value rather than start something of its own.
bool IsContinuationLine(std::string_view line) {
    line = TrimLeft(line);
    return !line.empty() && line.front() != '"' && line.front() != '@' && line.front() != '[' &&
           line.front() != ';';
}

// Reads the data part of a value line (after '='), taking continuation lines from LINES.
std::optional<HiveValue> ReadData(std::string_view data, LineReader& lines) {
    HiveValue value;
    data = TrimLeft(data);
    if (!data.empty() && data.front() == '"') {
        data.remove_prefix(1);
        std::optional<std::string> text = ReadQuoted(data);
        if (!text || !TrimLeft(data).empty() || text->size() >= kMaxValueDataBytes) {
            return std::nullopt;
        }
        value.type = REG_SZ;
        value.data.assign(text->begin(), text->end());
        value.data.push_back(0);
        return value;
    }
    if (data.starts_with("dword:")) {
        data.remove_prefix(6);
        if (data.size() != 8) {
            return std::nullopt;
        }
        DWORD number = 0;
        for (char c : data) {
            if (text::HexDigitValue(c) < 0) {
                return std::nullopt;
            }
            number = number * 16 + static_cast<DWORD>(text::HexDigitValue(c));
        }
        value.type = REG_DWORD;
        for (int i = 0; i < 4; ++i) {
            value.data.push_back(static_cast<std::uint8_t>(number >> (8 * i)));
        }
        return value;
    }
    if (!data.starts_with("hex")) {
        return std::nullopt;
    }
    data.remove_prefix(3);
    value.type = REG_BINARY;
    if (!data.empty() && data.front() == '(') {
        std::size_t close = data.find(')');
        if (close == std::string_view::npos || close < 2 || close > 9) {
            return std::nullopt;
        }
        value.type = 0;
        for (char c : data.substr(1, close - 1)) {
            if (text::HexDigitValue(c) < 0) {
                return std::nullopt;
            }
            value.type = value.type * 16 + static_cast<DWORD>(text::HexDigitValue(c));
        }
        data.remove_prefix(close + 1);
    }
    if (data.empty() || data.front() != ':') {
        return std::nullopt;
    }
    data.remove_prefix(1);
    std::string joined;
    bool complete = true;
    while (true) {
        data = TrimRight(data);
        if (data.empty() || data.back() != '\\') {
            joined += data;
            break;
        }
        data.remove_suffix(1);
        joined += data;
        if (joined.size() > 3 * kMaxValueDataBytes) {
            complete = false;
        }
        if (lines.AtEnd() || !IsContinuationLine(lines.Peek())) {
            return std::nullopt; // cut off: the data is not all there
        }
        data = lines.Next();
        if (data.size() > kMaxRegLineBytes) {
            complete = false;
            data = {};
        }
    }
    // Bytes have no end mark, so a cut after any of them would go unnoticed; a hex value on
    // the text's unterminated last line is taken as cut.
    if (!complete || !lines.LastTerminated()) {
        return std::nullopt;
    }
    std::optional<std::vector<std::uint8_t>> bytes = ReadHexBytes(joined);
    if (!bytes) {
        return std::nullopt;
    }
    value.data = std::move(*bytes);
    return value;
}

bool IsTextForm(const HiveValue& value) {
    const auto& d = value.data;
    if (value.type != REG_SZ || d.empty() || d.back() != 0) {
        return false;
    }
    for (std::size_t i = 0; i + 1 < d.size(); ++i) {
        if (d[i] == 0 || d[i] == '\r' || d[i] == '\n') {
            return false;
        }
    }
    return true;
}

void AppendHexByte(std::string& out, std::uint8_t byte) {
    constexpr char digits[] = "0123456789abcdef";
    out += digits[byte >> 4];
    out += digits[byte & 0x0F];
}

void AppendValue(std::string& out, const HiveValue& value) {
    std::size_t lineStart = out.size();
    if (value.name.empty()) {
        out += '@';
    } else {
        AppendQuoted(out, value.name);
    }
    out += '=';
    std::size_t dataStart = out.size();
    if (IsTextForm(value)) {
        AppendQuoted(out, std::string_view(reinterpret_cast<const char*>(value.data.data()),
                                           value.data.size() - 1));
        if (out.size() - lineStart <= kMaxRegLineBytes) {
            out += '\n';
            return;
        }
        out.resize(dataStart); // too long for one line: written in hex below
    }
    if (value.type == REG_DWORD && value.data.size() == 4) {
        out += "dword:";
        for (int i = 3; i >= 0; --i) {
            AppendHexByte(out, value.data[static_cast<std::size_t>(i)]);
        }
        out += '\n';
        return;
    }
    if (value.type == REG_BINARY) {
        out += "hex:";
    } else {
        constexpr char digits[] = "0123456789abcdef";
        std::string type;
        for (DWORD t = value.type; t != 0 || type.empty(); t >>= 4) {
            type.insert(type.begin(), digits[t & 0x0F]);
        }
        out += "hex(" + type + "):";
    }
    for (std::size_t i = 0; i < value.data.size(); ++i) {
        if (i != 0) {
            out += ',';
            if (i % kHexBytesPerLine == 0) {
                out += "\\\n  ";
            }
        }
        AppendHexByte(out, value.data[i]);
    }
    out += '\n';
}

// Appends the entries kept from a file. An entry that ends with a backslash is followed by a
// blank line, so that it cannot take the next entry, which was not its continuation where it
// came from, as one now (a cut hex value and a stray line would join into a value).
void AppendKept(std::string& out, const std::vector<std::string>& entries) {
    for (const std::string& entry : entries) {
        out += entry;
        std::string_view last = entry;
        if (!last.empty() && last.back() == '\n') {
            last.remove_suffix(1);
        }
        last = TrimRight(last);
        if (!last.empty() && last.back() == '\\') {
            out += '\n';
        }
    }
}

} // namespace

RegFileContent ReadRegFile(std::string_view text) {
    RegFileContent content;
    Hive& hive = content.hive;
    std::size_t bad = 0;
    if (text.size() > kMaxRegFileBytes) {
        text = text.substr(0, kMaxRegFileBytes);
        content.rewritable = false;
    }
    if (text.find('\0') != std::string_view::npos) {
        content.rewritable = false;
    }
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    LineReader lines(text);
    HiveKey* key = nullptr;
    std::string owner; // folded path of the last readable key line
    bool first = true;
    // Keeps the lines from START to where the reader is now under OWNER. A line cut off
    // without its newline is kept with one when it is a comment; an unreadable one means the
    // file was cut and cannot be written back as it is.
    auto keep = [&](std::size_t start, bool comment) {
        std::string& entry =
            content.kept[owner].emplace_back(text.substr(start, lines.Pos() - start));
        if (entry.back() != '\n') {
            if (comment) {
                entry += '\n';
            } else {
                content.rewritable = false;
            }
        }
    };
    auto unreadable = [&](std::size_t start) {
        ++bad;
        keep(start, false);
    };
    while (!lines.AtEnd()) {
        const std::size_t start = lines.Pos();
        std::string_view raw = lines.Next();
        if (raw.size() > kMaxRegLineBytes) {
            if (TrimLeft(raw).starts_with("[")) {
                key = nullptr;
            }
            unreadable(start);
            continue;
        }
        std::string_view line = TrimLeft(TrimRight(raw));
        if (line.empty()) {
            continue;
        }
        if (line.front() == ';') {
            keep(start, true);
            continue;
        }
        if (first) {
            first = false;
            if (line == kHeader || line == kHeaderV5) {
                continue;
            }
            content.rewritable = false; // not a file of this store
        }
        if (line.front() == '[') {
            key = nullptr;
            if (line.size() < 2 || line.back() != ']') {
                unreadable(start);
                continue;
            }
            std::string_view path = line.substr(1, line.size() - 2);
            if (!IsValidKeyPath(path) || path.front() == '-') {
                unreadable(start);
                continue;
            }
            key = &hive.ListKey(path);
            owner = FoldName(key->path);
            continue;
        }
        std::optional<std::string> name;
        std::string_view rest = line;
        if (rest.front() == '@') {
            name = std::string();
            rest.remove_prefix(1);
        } else if (rest.front() == '"') {
            rest.remove_prefix(1);
            name = ReadQuoted(rest);
        }
        rest = TrimLeft(rest);
        if (!name || rest.empty() || rest.front() != '=') {
            unreadable(start);
            continue;
        }
        std::optional<HiveValue> value = ReadData(rest.substr(1), lines);
        if (!value || key == nullptr || !IsValidValueName(*name)) {
            unreadable(start);
            continue;
        }
        std::string folded = FoldName(*name);
        auto it = key->values.find(folded);
        value->name = it == key->values.end() ? std::move(*name) : it->second.name;
        key->values[folded] = std::move(*value);
    }
    content.unreadable = bad;
    return content;
}

Hive ParseRegFile(std::string_view text, std::size_t* unreadable) {
    RegFileContent content = ReadRegFile(text);
    if (unreadable != nullptr) {
        *unreadable = content.unreadable;
    }
    return std::move(content.hive);
}

std::string WriteRegFile(const Hive& hive, const KeptLines& kept) {
    std::string out;
    out += kHeader;
    out += "\n\n";
    // Lines kept before the first key stay before every key, where a value has no key.
    if (auto it = kept.find(std::string()); it != kept.end()) {
        AppendKept(out, it->second);
        out += '\n';
    }
    for (const auto& [folded, key] : hive.Keys()) {
        out += '[';
        out += key.path;
        out += "]\n";
        for (const auto& [name, value] : key.values) {
            AppendValue(out, value);
        }
        if (auto it = kept.find(folded); it != kept.end()) {
            AppendKept(out, it->second);
        }
        out += '\n';
    }
    // Lines whose key is gone from the hive: none of them depends on a key before it (an
    // unreadable key line comes with the lines it made unreadable), so they close the file.
    for (const auto& [folded, entries] : kept) {
        if (!folded.empty() && hive.Keys().find(folded) == hive.Keys().end()) {
            AppendKept(out, entries);
        }
    }
    return out;
}

std::string SerializeRegFile(const Hive& hive) {
    return WriteRegFile(hive, {});
}

} // namespace nv::platform
