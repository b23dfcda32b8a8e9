#include "PjlStream.h"

#include <cstring>
#include <string_view>

namespace nv::vprinter {

namespace {

constexpr std::string_view kUel = "\x1b%-12345X";
constexpr std::uint8_t kEsc = 0x1b;

char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Upper(a[i]) != Upper(b[i])) {
            return false;
        }
    }
    return true;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view SkipBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    return text;
}

// The next word of TEXT (up to a blank or '='), upper-cased; TEXT is advanced past it.
std::string TakeWord(std::string_view& text) {
    text = SkipBlanks(text);
    std::string word;
    while (!text.empty() && !IsBlank(text.front()) && text.front() != '=') {
        word.push_back(Upper(text.front()));
        text.remove_prefix(1);
    }
    return word;
}

} // namespace

PjlStreamParser::PjlStreamParser(DocumentSink document) : document_(std::move(document)) {}

void PjlStreamParser::Feed(const std::uint8_t* data, std::size_t size) {
    report_.totalBytes += size;
    while (size > 0) {
        if (state_ == State::document) {
            const std::size_t used = ScanDocument(data, size);
            data += used;
            size -= used;
        } else {
            afterUel_ = false;
            Byte(*data);
            ++data;
            --size;
        }
    }
}

void PjlStreamParser::Finish() {
    switch (state_) {
    case State::start:
        Fault(report_.totalBytes == 0 ? "empty stream" : "stream does not begin with a UEL");
        break;
    case State::lineStart:
        if (!pending_.empty()) {
            Fault(Where() + "stream ends inside a line");
        }
        break;
    case State::pjlLine:
        FinishLine(false);
        break;
    case State::skipLine:
        break;
    case State::document:
        Emit(reinterpret_cast<const std::uint8_t*>(kUel.data()), uelMatched_);
        uelMatched_ = 0;
        break;
    }
    report_.endsWithUel = afterUel_;
    if (!afterUel_) {
        Fault("stream does not end with a UEL");
    }
}

void PjlStreamParser::Byte(std::uint8_t byte) {
    switch (state_) {
    case State::start: {
        if (TakeUelByte(byte)) {
            return;
        }
        Fault("stream does not begin with a UEL");
        const std::string held = std::move(pending_);
        pending_.clear();
        state_ = State::lineStart;
        for (char c : held) {
            if (state_ == State::document) {
                ScanDocument(reinterpret_cast<const std::uint8_t*>(&c), 1);
            } else {
                Byte(static_cast<std::uint8_t>(c));
            }
        }
        return;
    }
    case State::lineStart:
        LineStartByte(byte);
        return;
    case State::pjlLine:
        PjlLineByte(byte);
        return;
    case State::skipLine:
        if (byte == '\n') {
            state_ = State::lineStart;
        } else if (byte == kEsc) {
            state_ = State::lineStart;
            LineStartByte(byte);
        }
        return;
    case State::document:
        ScanDocument(&byte, 1);
        return;
    }
}

bool PjlStreamParser::TakeUelByte(std::uint8_t byte) {
    pending_.push_back(static_cast<char>(byte));
    if (kUel.substr(0, pending_.size()) != pending_) {
        return false;
    }
    if (pending_.size() == kUel.size()) {
        pending_.clear();
        OnUel();
    }
    return true;
}

void PjlStreamParser::LineStartByte(std::uint8_t byte) {
    if (TakeUelByte(byte)) {
        return;
    }
    if (pending_.size() <= 4 &&
        SameIgnoringCase(pending_, std::string_view("@PJL").substr(0, pending_.size()))) {
        if (pending_.size() == 4) {
            line_ = std::move(pending_);
            pending_.clear();
            lineLength_ = 4;
            lastWasCr_ = false;
            state_ = State::pjlLine;
        }
        return;
    }
    if (pending_ == "\r") {
        return;
    }
    if (firstAfterUel_) {
        Fault(std::string(section_ == Section::header ? "header" : "trailer") +
              ": UEL not followed by @PJL");
        firstAfterUel_ = false;
    }
    if (pending_ == "\n" || pending_ == "\r\n") {
        pending_.clear();
        ++lineNumber_;
        Fault(Where() + "blank line");
        return;
    }
    const std::string held = std::move(pending_);
    pending_.clear();
    if (section_ == Section::header) {
        // Not PJL: the printer hands the data to the document language from here on.
        StartDocument();
        Emit(reinterpret_cast<const std::uint8_t*>(held.data()), held.size() - 1);
        const auto last = static_cast<std::uint8_t>(held.back());
        ScanDocument(&last, 1);
        return;
    }
    ++lineNumber_;
    Fault(Where() + "data after the document is not PJL");
    const char last = held.back();
    if (last == '\n') {
        state_ = State::lineStart;
    } else if (last == static_cast<char>(kEsc)) {
        state_ = State::lineStart;
        pending_.push_back(last);
    } else {
        state_ = State::skipLine;
    }
}

void PjlStreamParser::PjlLineByte(std::uint8_t byte) {
    if (byte == '\n') {
        FinishLine(true);
        return;
    }
    if (byte == kEsc) {
        // ESC never belongs in a PJL line; it begins the next UEL.
        FinishLine(false);
        state_ = State::lineStart;
        LineStartByte(byte);
        return;
    }
    ++lineLength_;
    if (line_.size() <= kMaxLineBytes) {
        line_.push_back(static_cast<char>(byte));
    }
    lastWasCr_ = byte == '\r';
}

void PjlStreamParser::FinishLine(bool endedByLf) {
    const bool hadCr = endedByLf && lastWasCr_;
    const std::size_t length = lineLength_ - (hadCr ? 1 : 0);
    if (hadCr && line_.size() == lineLength_) {
        line_.pop_back();
    }
    const bool overLong = length > kMaxLineBytes;
    if (line_.size() > kMaxLineBytes) {
        line_.resize(kMaxLineBytes);
    }
    ++lineNumber_;
    if (!endedByLf) {
        Fault(Where() + "line not ended by LF");
    }
    CheckLine(line_, overLong, hadCr || !endedByLf);

    std::vector<std::string>& lines =
        section_ == Section::header ? report_.header : report_.trailer;
    if (lines.size() < kMaxStoredLines) {
        lines.push_back(line_);
    }
    sawPjlLine_ = true;
    firstAfterUel_ = false;

    std::string_view rest(line_);
    rest.remove_prefix(4);
    const bool enter = TakeWord(rest) == "ENTER" && section_ == Section::header;
    if (enter) {
        if (TakeWord(rest) == "LANGUAGE") {
            rest = SkipBlanks(rest);
            if (!rest.empty() && rest.front() == '=') {
                rest.remove_prefix(1);
            }
            report_.language = TakeWord(rest);
        }
    }
    line_.clear();
    lineLength_ = 0;
    lastWasCr_ = false;
    if (enter) {
        StartDocument();
    } else {
        state_ = State::lineStart;
    }
}

void PjlStreamParser::CheckLine(const std::string& line, bool overLong, bool hadCr) {
    if (line.compare(0, 4, "@PJL") != 0) {
        Fault(Where() + "@PJL not in upper case");
    }
    if (line.size() > 4 && !IsBlank(line[4])) {
        Fault(Where() + "no blank after @PJL");
    }
    if (!hadCr) {
        Fault(Where() + "LF without CR");
    }
    if (overLong) {
        Fault(Where() + "line longer than 255 bytes");
    }
    std::string_view rest(line);
    rest.remove_prefix(4);
    const std::string command = TakeWord(rest);
    if (command == "DEFAULT" || command == "INITIALIZE" || command == "RDYMSG" ||
        command.compare(0, 2, "FS") == 0) {
        Fault(Where() + "forbidden command " + command);
    }
    bool quoted = false;
    bool controlInQuotes = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
        } else if (quoted && static_cast<unsigned char>(c) < 32 && c != '\t') {
            controlInQuotes = true;
        }
    }
    if (quoted) {
        Fault(Where() + "unbalanced quotes");
    }
    if (controlInQuotes) {
        Fault(Where() + "control byte inside quotes");
    }
}

void PjlStreamParser::OnUel() {
    afterUel_ = true;
    firstAfterUel_ = true;
    if (state_ == State::start) {
        state_ = State::lineStart;
        return;
    }
    if (section_ == Section::header && sawPjlLine_) {
        // The header ended without a document: an empty document.
        report_.documentStarted = true;
        section_ = Section::trailer;
        lineNumber_ = 0;
        sawPjlLine_ = false;
    }
    state_ = State::lineStart;
}

void PjlStreamParser::StartDocument() {
    report_.documentStarted = true;
    state_ = State::document;
    uelMatched_ = 0;
    firstAfterUel_ = false;
}

std::size_t PjlStreamParser::ScanDocument(const std::uint8_t* data, std::size_t size) {
    std::size_t i = 0;
    while (i < size) {
        if (uelMatched_ > 0) {
            if (data[i] == static_cast<std::uint8_t>(kUel[uelMatched_])) {
                ++i;
                if (++uelMatched_ == kUel.size()) {
                    uelMatched_ = 0;
                    section_ = Section::trailer;
                    lineNumber_ = 0;
                    sawPjlLine_ = false;
                    state_ = State::lineStart;
                    afterUel_ = true;
                    firstAfterUel_ = true;
                    return i;
                }
                continue;
            }
            // Not a UEL after all: the held bytes are document; look at this byte afresh.
            Emit(reinterpret_cast<const std::uint8_t*>(kUel.data()), uelMatched_);
            uelMatched_ = 0;
            continue;
        }
        const void* esc = std::memchr(data + i, kEsc, size - i);
        if (esc == nullptr) {
            Emit(data + i, size - i);
            return size;
        }
        const std::size_t at =
            static_cast<std::size_t>(static_cast<const std::uint8_t*>(esc) - data);
        Emit(data + i, at - i);
        uelMatched_ = 1;
        i = at + 1;
    }
    return size;
}

void PjlStreamParser::Emit(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return;
    }
    report_.documentBytes += size;
    if (docPrefix_.size() < 5) {
        docPrefix_.append(reinterpret_cast<const char*>(data),
                          std::min<std::size_t>(size, 5 - docPrefix_.size()));
        report_.documentIsPdf = docPrefix_ == "%PDF-";
    }
    if (document_) {
        document_(data, size);
    }
}

void PjlStreamParser::Fault(const std::string& what) {
    ++report_.faultCount;
    if (report_.faults.size() < kMaxFaults) {
        report_.faults.push_back(what);
    }
}

std::string PjlStreamParser::Where() const {
    return std::string(section_ == Section::header ? "header" : "trailer") + " line " +
           std::to_string(lineNumber_) + ": ";
}

} // namespace nv::vprinter
