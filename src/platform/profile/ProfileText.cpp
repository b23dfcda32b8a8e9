#include "platform/profile/ProfileText.h"

#include "platform/text/Hex.h"
#include "platform/text/Utf8.h"

#include <cstring>

namespace nv::platform::profile {

namespace {

// White space around names and values is not part of them: space, tab, vertical tab, form
// feed and the old end-of-file mark 0x1A (inside a value 0x1A is an ordinary byte).
bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1A';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Names and values are C strings once stored: a NUL byte ends them.
std::string_view CutAtNul(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Section and key names match ignoring the case of ASCII letters only.
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

// One meaningful line of a profile: a section header, or a key with or without a value.
struct Line {
    bool header = false;
    std::string_view name;
    std::optional<std::string_view> value; // none for a line without '='
};

// Walks the lines of a profile text. CR, LF and any run of them end a line; blank lines are
// skipped. A line starting with '[' is a header when a ']' follows somewhere: the name runs
// to the last ']' and anything after it is ignored. Every other line is a key line: the name
// before the first '=' and the value after it. Comment lines (';') come out as keys whose
// names start with ';', which no ordinary lookup matches.
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}

    bool Next(Line& line) {
        while (pos_ < text_.size()) {
            std::size_t start = pos_;
            std::size_t end = text_.find_first_of("\r\n", start);
            if (end == std::string_view::npos) {
                end = text_.size();
            }
            pos_ = text_.find_first_not_of("\r\n", end);
            if (pos_ == std::string_view::npos) {
                pos_ = text_.size();
            }
            std::string_view raw = Trim(text_.substr(start, end - start));
            if (raw.empty()) {
                continue;
            }
            if (raw.front() == '[') {
                std::size_t close = raw.rfind(']');
                if (close != std::string_view::npos && close > 0) {
                    line = Line{true, CutAtNul(Trim(raw.substr(1, close - 1))), std::nullopt};
                    return true;
                }
            }
            std::size_t equals = raw.find('=');
            if (equals == std::string_view::npos) {
                line = Line{false, CutAtNul(raw), std::nullopt};
            } else {
                line = Line{false, CutAtNul(Trim(raw.substr(0, equals))),
                            CutAtNul(Trim(raw.substr(equals + 1)))};
            }
            return true;
        }
        return false;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// The value of KEY in the first section named SECTION; none when the section or key is
// missing or when the key's line has no '='. Lines before the first header form a section
// named "", which is the one SECTION "" finds (a later "[]" header is a second one). Only
// the first section of a name counts and in it only the first line of a key.
std::optional<std::string_view> FindValue(std::string_view text, std::string_view section,
                                          std::string_view key) {
    bool inSection = section.empty();
    LineReader reader(text);
    Line line;
    while (reader.Next(line)) {
        if (line.header) {
            if (inSection) {
                return std::nullopt;
            }
            inSection = SameName(line.name, section);
        } else if (inSection && SameName(line.name, key)) {
            return line.value;
        }
    }
    return std::nullopt;
}

// A list of names, each followed by a NUL. Stops growing once it is longer than LIMIT, which
// is all a caller with a buffer of LIMIT bytes can ever see of it.
class NameList {
public:
    explicit NameList(std::size_t limit) : limit_(limit) {}

    bool Full() const { return bytes_.size() > limit_; }
    void Add(std::string_view name) {
        bytes_.append(name);
        bytes_.push_back('\0');
    }
    const std::string& Bytes() const { return bytes_; }

private:
    std::size_t limit_;
    std::string bytes_;
};

// The non-empty section names in file order, duplicates included.
void ListSections(std::string_view text, NameList& list) {
    LineReader reader(text);
    Line line;
    while (!list.Full() && reader.Next(line)) {
        if (line.header && !line.name.empty()) {
            list.Add(line.name);
        }
    }
}

// The keys of the first section named SECTION that have a value and are not comments.
void ListKeys(std::string_view text, std::string_view section, NameList& list) {
    bool inSection = section.empty();
    LineReader reader(text);
    Line line;
    while (!list.Full() && reader.Next(line)) {
        if (line.header) {
            if (inSection) {
                return;
            }
            inSection = SameName(line.name, section);
        } else if (inSection && line.value && !line.name.starts_with(';')) {
            list.Add(line.name);
        }
    }
}

// Writes a NUL-separated list closed by an extra NUL into BUFFER (SIZE >= 1) and returns its
// length without the closing NUL. A list that does not fit is cut to SIZE-2 bytes (never inside
// a UTF-8 character) and followed by two NULs; the result is then the length kept.
DWORD WriteList(const std::string& list, char* buffer, DWORD size) {
    if (size == 1) {
        buffer[0] = '\0';
        return 0;
    }
    if (list.size() + 1 <= size) {
        std::memcpy(buffer, list.data(), list.size());
        buffer[list.size()] = '\0';
        if (list.empty()) {
            buffer[1] = '\0'; // an empty list still ends in two NULs
        }
        return static_cast<DWORD>(list.size());
    }
    std::size_t kept = text::Utf8PrefixLength(list, size - 2);
    std::memcpy(buffer, list.data(), kept);
    buffer[kept] = '\0';
    buffer[kept + 1] = '\0';
    return static_cast<DWORD>(kept);
}

// One outer pair of equal quotes (" or ') around a value of two or more bytes is removed.
std::string_view StripQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

// Copies VALUE without its outer quotes into BUFFER (SIZE >= 1), cut to at most SIZE-1 bytes
// without splitting a UTF-8 character, NUL-terminated. Returns the bytes copied.
DWORD CopyValue(std::string_view value, char* buffer, DWORD size) {
    value = StripQuotes(value);
    std::size_t length = text::Utf8PrefixLength(value, size - 1);
    std::memcpy(buffer, value.data(), length);
    buffer[length] = '\0';
    return static_cast<DWORD>(length);
}

// The default as the reader uses it: null reads as "", trailing spaces (not tabs) are removed
// but a default made only of spaces keeps one of them.
std::string_view PrepareDefault(const char* defaultValue) {
    std::string_view text = defaultValue != nullptr ? defaultValue : "";
    if (text.empty()) {
        return text;
    }
    std::size_t last = text.size() - 1;
    while (last > 0 && text[last] == ' ') {
        --last;
    }
    return text.substr(0, last + 1);
}

// The text to parse: a view into RAW, or into STORAGE when the file had to be converted.
std::string_view ViewText(std::string_view raw, std::string& storage) {
    if (raw.starts_with("\xEF\xBB\xBF")) {
        return raw.substr(3);
    }
    if (raw.starts_with("\xFF\xFE") || raw.starts_with("\xFE\xFF")) {
        storage = text::Utf16ToUtf8(raw.substr(2), raw[0] == '\xFE');
        return storage;
    }
    return raw;
}

} // namespace

UINT ParseProfileInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (text.size() - i >= 2 && text[i] == '0') {
        switch (text[i + 1]) {
        case 'x':
            base = 16;
            break;
        case 'o':
            base = 8;
            break;
        case 'b':
            base = 2;
            break;
        default:
            break;
        }
        if (base != 10) {
            i += 2;
        }
    }
    UINT total = 0;
    for (; i < text.size(); ++i) {
        // Bases go up to 16, so a letter beyond 'f' ends the number as any other non-digit.
        int digit = text::HexDigitValue(text[i]);
        if (digit < 0 || digit >= base) {
            break;
        }
        total = total * static_cast<UINT>(base) + static_cast<UINT>(digit);
    }
    return negative ? 0u - total : total;
}

DWORD ReadProfileString(const FileBytes& file, const char* section, const char* key,
                        const char* defaultValue, char* buffer, DWORD size) {
    if (buffer == nullptr || size == 0) {
        return 0;
    }
    std::string_view fallback = PrepareDefault(defaultValue);
    if (!file) {
        // Listing the sections of a missing file gives an empty list, every other read the
        // default.
        return section == nullptr ? WriteList({}, buffer, size) : CopyValue(fallback, buffer, size);
    }
    std::string storage;
    std::string_view text = ViewText(*file, storage);
    if (section == nullptr) {
        NameList list(size);
        ListSections(text, list);
        return WriteList(list.Bytes(), buffer, size);
    }
    if (key == nullptr) {
        // An empty key list (or one that starts with an empty name) reads as the default.
        NameList list(size);
        ListKeys(text, Trim(section), list);
        DWORD written = WriteList(list.Bytes(), buffer, size);
        return buffer[0] != '\0' ? written : CopyValue(fallback, buffer, size);
    }
    std::optional<std::string_view> value = FindValue(text, Trim(section), Trim(key));
    return CopyValue(value ? *value : fallback, buffer, size);
}

UINT ReadProfileInt(const FileBytes& file, const char* section, const char* key, int defaultValue) {
    auto fallback = static_cast<UINT>(defaultValue);
    if (!file || section == nullptr || key == nullptr) {
        return fallback;
    }
    std::string storage;
    std::string_view text = ViewText(*file, storage);
    std::optional<std::string_view> value = FindValue(text, Trim(section), Trim(key));
    if (!value) {
        return fallback;
    }
    std::string_view number = StripQuotes(*value);
    return number.empty() ? fallback : ParseProfileInteger(number);
}

} // namespace nv::platform::profile
