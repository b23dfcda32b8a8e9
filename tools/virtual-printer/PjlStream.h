// Splits one AppSocket job stream into its PJL header, the document and its PJL trailer, and
// checks the PJL against the rules printers apply:
//
//   UEL "@PJL" CR LF  header lines ...  [@PJL ENTER LANGUAGE=x CR LF]  document
//   UEL "@PJL" CR LF  trailer lines ...  UEL <end of stream>
//
// UEL is ESC "%-12345X". After a UEL the printer reads PJL lines; a line that does not begin
// with "@PJL" (in any case) hands the data to the document language (the automatic switch, as
// for data starting "%PDF-"), and so does the line after ENTER LANGUAGE. The document runs to
// the next UEL. The stream is pushed in pieces of any size; a UEL split across pieces is found.
//
// Faults reported: a stream not beginning with a UEL, a UEL not followed by "@PJL", "@PJL" not
// in upper case, a line ended by LF without CR, a blank line, a line over 255 bytes, a missing
// blank after "@PJL", an odd number of quotes, a control byte inside quotes, the forbidden
// commands DEFAULT, INITIALIZE, RDYMSG and FS*, data after the document that is not PJL, a line
// cut off by the end of the stream or by a UEL, and a stream that does not end with a UEL.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace nv::vprinter {

struct PjlReport {
    std::vector<std::string> header;  // PJL lines before the document, without CR LF
    std::vector<std::string> trailer; // PJL lines after the document, without CR LF
    std::string language;             // the ENTER LANGUAGE value; empty for the automatic switch
    bool documentStarted = false;
    std::uint64_t documentBytes = 0;
    bool documentIsPdf = false; // the document begins with "%PDF-"
    bool endsWithUel = false;   // the stream's last bytes are a UEL
    std::uint64_t totalBytes = 0;
    std::vector<std::string> faults; // at most kMaxFaults, then one "... more" entry
    std::uint64_t faultCount = 0;
};

class PjlStreamParser {
public:
    // Limits that bound the memory one job can take.
    static constexpr std::size_t kMaxLineBytes = 255; // longer lines are faults, stored cut
    static constexpr std::size_t kMaxStoredLines = 10000;
    static constexpr std::size_t kMaxFaults = 1000;

    // DOCUMENT receives the document bytes in order, in pieces.
    using DocumentSink = std::function<void(const std::uint8_t* data, std::size_t size)>;
    explicit PjlStreamParser(DocumentSink document);

    // Takes the next SIZE bytes of the stream.
    void Feed(const std::uint8_t* data, std::size_t size);
    // Marks the end of the stream; call once, after the last Feed.
    void Finish();

    const PjlReport& Report() const { return report_; }

private:
    enum class State { start, lineStart, pjlLine, skipLine, document };
    enum class Section { header, trailer };

    std::size_t ScanDocument(const std::uint8_t* data, std::size_t size);
    void Byte(std::uint8_t byte);
    void LineStartByte(std::uint8_t byte);
    // Adds BYTE to the pending bytes while they still begin a UEL (handling a whole one);
    // false, with BYTE pending, once they cannot.
    bool TakeUelByte(std::uint8_t byte);
    void PjlLineByte(std::uint8_t byte);
    void FinishLine(bool endedByLf);
    void CheckLine(const std::string& line, bool overLong, bool hadCr);
    void OnUel();
    void StartDocument();
    void Emit(const std::uint8_t* data, std::size_t size);
    void Fault(const std::string& what);
    std::string Where() const;

    DocumentSink document_;
    PjlReport report_;
    State state_ = State::start;
    Section section_ = Section::header;
    std::string pending_; // bytes at a line start not yet classified
    std::string line_;    // the PJL line being read (at most kMaxLineBytes + 1 bytes)
    std::size_t lineLength_ = 0;
    std::size_t uelMatched_ = 0; // bytes of a UEL matched inside the document
    std::size_t lineNumber_ = 0; // lines of the current section
    bool sawPjlLine_ = false;
    bool afterUel_ = false; // the last complete thing read was a UEL
    bool firstAfterUel_ = false;
    bool lastWasCr_ = false;
    std::string docPrefix_; // first bytes of the document, for the %PDF- check
};

} // namespace nv::vprinter
