#include "job/JobHeader.h"

#include "job/CommandTemplates.h"
#include "job/PjlText.h"
#include "platform/profile/Profile.h"
#include "printer/CapabilityFile.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>

namespace nv {

namespace {

using Arg = CommandArg;

// The lower-case ticket reads its tray value into a buffer of this size (31 characters).
constexpr DWORD kTrayTextSizeLowerCaseTicket = 32;
// A job-info command is at most this long in the header.
constexpr std::size_t kJobInfoCommandMax = 1023;

CString lowerAscii(CString text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

// Formats the templates of PARTS one after the other and joins them into PIECE, all within
// JOINSIZE. Each part is formatted in a buffer of that size as well.
struct Part {
    UINT id;
    std::initializer_list<CommandArg> args;
};

bool formatJoined(const platform::ResourceModule* library, std::size_t joinSize,
                  std::initializer_list<Part> parts, CString& piece) {
    piece.clear();
    CString joined;
    for (const Part& part : parts) {
        CString formatted;
        if (!FormatCommand(library, part.id, joinSize, part.args, formatted) ||
            !JoinPiece(joined, formatted, joinSize)) {
            return false;
        }
    }
    piece = joined;
    return true;
}

// The password command of LIBRARY carrying PASSWORD escaped, into PIECE. False when it does
// not fit its piece, or makes a line longer than a printer reads: a cut or dropped password
// line would not open the document.
bool formatPassword(const platform::ResourceModule* library, const CString& password,
                    CString& piece) {
    return FormatCommand(library, cmd::kPassword, kPieceSize,
                         {Arg::Text(EscapePassword(password)), Arg::Text(kLineEnd)}, piece) &&
           LinesWithinPjlLimit(piece);
}

// The pieces a header is put together from.
enum class Piece {
    jobStart,
    rangeOrJobStart, // the named page range when there is one, else the job start
    owner,
    paperSource,
    copies,
    duplex,
    fitToPage,
    pageRange,
    openEndRange,
    password,
    pdfLine,      // fixed line 18: how the printer is to take the PDF (language, format, errors)
    holdLine,     // fixed line 19
    languageLine, // fixed line 20
};
constexpr std::size_t kPieceCount = static_cast<std::size_t>(Piece::languageLine) + 1;

using P = Piece;
constexpr Piece kTicketOrder[] = {P::rangeOrJobStart, P::owner,    P::duplex,      P::pdfLine,
                                  P::holdLine,        P::copies,   P::paperSource, P::fitToPage,
                                  P::openEndRange,    P::password, P::languageLine};
constexpr Piece kPlainOrder[] = {P::jobStart,  P::paperSource, P::copies, P::duplex,
                                 P::fitToPage, P::password,    P::pdfLine};
constexpr Piece kLowerCaseTicketOrder[] = {P::jobStart, P::owner,  P::pdfLine,   P::paperSource,
                                           P::copies,   P::duplex, P::fitToPage, P::pageRange};
constexpr Piece kMediaSourceOrder[] = {P::rangeOrJobStart, P::paperSource, P::copies, P::duplex,
                                       P::fitToPage,       P::password,    P::pdfLine};

std::span<const Piece> orderOf(PrinterDialect dialect) {
    switch (dialect) {
    case kDialectPlain:
        return kPlainOrder;
    case kDialectLowerCaseTicket:
        return kLowerCaseTicketOrder;
    case kDialectMediaSource:
    case kDialectMediaSourceAlike:
        return kMediaSourceOrder;
    case kDialectTicket:
        break;
    }
    return kTicketOrder;
}

bool uses(std::span<const Piece> order, Piece piece) {
    return std::find(order.begin(), order.end(), piece) != order.end();
}

CString documentNameForPjl(const JobHeaderInputs& in) {
    return PjlNameText(in.fileName);
}

// The tray value of the chosen paper source as a ticket attribute, read into SIZE bytes.
CString trayValue(const JobHeaderInputs& in, DWORD size = kCapabilityTextSize) {
    const PrinterCapability& cap = in.capability;
    const CString section = LookUpPaperSourceSection(cap.m_strCapFile, cap.m_strDriverName);
    return PjlNameAttribute(ReadCapabilityText(
        cap.m_strCapFile, section, in.options.m_strTrayKey.c_str(), kCapabilityNone, size));
}

bool fixedLine(const JobHeaderInputs& in, UINT id, CString& line) {
    const std::optional<CString> text = LoadCommandTemplate(in.library, id);
    if (!text) {
        return false;
    }
    line = *text + kLineEnd;
    return true;
}

} // namespace

// A tray value comes from the model's capability file and is sent as it stands, except that it
// can neither end its line nor add an attribute to the lower-case ticket it also goes into.
bool ComposePaperSource(const JobHeaderInputs& in, CString& piece) {
    piece.clear();
    const platform::ResourceModule* library = in.library;
    const CString& trayKey = in.options.m_strTrayKey;
    switch (in.capability.m_nPrinterType) {
    case kDialectPlain: {
        const CString value = trayValue(in);
        if (value == "0") {
            return true;
        }
        return FormatCommand(library, cmd::kPaperSource, kPieceSize,
                             {Arg::Text(value), Arg::Text(kLineEnd)}, piece);
    }
    case kDialectLowerCaseTicket: {
        const CString value = trayValue(in, kTrayTextSizeLowerCaseTicket);
        CString word;
        if (trayKey == "AutoTray") {
            word = "auto";
        } else if (trayKey == "Multi Purpose Tray") {
            word = "mptray";
        } else if (trayKey == "Manual Feed") {
            word = "manualfeed";
        } else {
            word = lowerAscii(value);
        }
        return FormatCommand(library, cmd::kPaperSource, kPieceSize,
                             {Arg::Text(value), Arg::Text(kLineEnd), Arg::Text(word),
                              Arg::Text(kLineEnd), Arg::Text(kLineEnd)},
                             piece);
    }
    case kDialectMediaSource:
    case kDialectMediaSourceAlike: {
        if (trayKey == "Manual Feed") {
            return FormatCommand(library, cmd::kManualFeed, kPieceSize,
                                 {Arg::Text("ON"), Arg::Text(kLineEnd)}, piece);
        }
        const CString value = trayValue(in);
        if (value == "0") {
            return true;
        }
        return formatJoined(library, kPieceSize,
                            {{cmd::kManualFeed, {Arg::Text("OFF"), Arg::Text(kLineEnd)}},
                             {cmd::kMediaSource, {Arg::Text(value), Arg::Text(kLineEnd)}}},
                            piece);
    }
    case kDialectTicket:
        break;
    }
    // The ticket dialect reads the tray as a number: the tray in the low word, manual feed in
    // the high word.
    const PrinterCapability& cap = in.capability;
    const CString section = LookUpPaperSourceSection(cap.m_strCapFile, cap.m_strDriverName);
    const UINT value = platform::GetPrivateProfileIntA(section.c_str(), trayKey.c_str(), 0,
                                                       cap.m_strCapFile.c_str());
    const UINT trayNumber = value & 0xFFFFu;
    const char* const manual = (value >> 16) != 0 ? "true" : "false";
    if (trayNumber == 0) {
        return formatJoined(library, kPieceSize,
                            {{cmd::kPaperSourceBegin, {Arg::Text(kLineEnd)}},
                             {cmd::kManualFeed, {Arg::Text(manual), Arg::Text(kLineEnd)}}},
                            piece);
    }
    return formatJoined(library, kPieceSize,
                        {{cmd::kPaperSourceBegin, {Arg::Text(kLineEnd)}},
                         {cmd::kPaperSourceTray, {Arg::UInt(trayNumber), Arg::Text(kLineEnd)}},
                         {cmd::kManualFeed, {Arg::Text(manual), Arg::Text(kLineEnd)}}},
                        piece);
}

bool ComposeCopies(const JobHeaderInputs& in, CString& piece) {
    const platform::ResourceModule* library = in.library;
    const UINT count = in.options.m_nCopies;
    const bool collate = in.options.m_bCollate;
    switch (in.capability.m_nPrinterType) {
    case kDialectPlain:
    case kDialectMediaSource:
    case kDialectMediaSourceAlike: {
        const UINT sets = collate ? count : 1;
        const UINT copies = collate ? 1 : count;
        return formatJoined(library, kPieceSize,
                            {{cmd::kCopies, {Arg::UInt(copies), Arg::Text(kLineEnd)}},
                             {cmd::kCollation, {Arg::UInt(sets), Arg::Text(kLineEnd)}}},
                            piece);
    }
    case kDialectLowerCaseTicket:
        if (collate) {
            return formatJoined(library, kPieceSize,
                                {{cmd::kCopies,
                                  {Arg::UInt(count), Arg::Text(kLineEnd), Arg::UInt(count),
                                   Arg::Text(kLineEnd), Arg::Text(kLineEnd)}},
                                 {cmd::kCollation,
                                  {Arg::Text(kLineEnd), Arg::Text(kLineEnd), Arg::Text(kLineEnd)}}},
                                piece);
        }
        return FormatCommand(library, cmd::kCopies, kPieceSize,
                             {Arg::UInt(count), Arg::Text(kLineEnd), Arg::UInt(count),
                              Arg::Text(kLineEnd), Arg::Text(kLineEnd)},
                             piece);
    case kDialectTicket:
        break;
    }
    return FormatCommand(
        library, cmd::kCopies, kPieceSize,
        {Arg::Text(collate ? "true" : "false"), Arg::UInt(count), Arg::Text(kLineEnd)}, piece);
}

bool ComposePageRange(const JobHeaderInputs& in, CString& firstPiece, CString& secondPiece) {
    firstPiece.clear();
    secondPiece.clear();
    const JobOptions& o = in.options;
    if (!o.m_bPageRange) {
        return true;
    }
    const PrinterDialect dialect = in.capability.m_nPrinterType;
    if (dialect == kDialectLowerCaseTicket) {
        return FormatCommand(
            in.library, cmd::kPageRange, kPieceSize,
            {Arg::Int(o.m_nStartPage), Arg::Int(o.m_nEndPage), Arg::Text(kLineEnd)}, firstPiece);
    }
    if (in.capability.m_bOpenEndRange) {
        return FormatCommand(
            in.library, cmd::kPageRangeOpenEnd, kPieceSize,
            {Arg::Int(o.m_nStartPage), Arg::Int(o.m_nEndPage), Arg::Text(kLineEnd)}, secondPiece);
    }
    const UINT id = (dialect == kDialectMediaSource || dialect == kDialectMediaSourceAlike)
                        ? cmd::kPageRangeJobStart
                        : cmd::kPageRange;
    return FormatCommand(in.library, id, kPieceSize,
                         {Arg::FreeText(documentNameForPjl(in)), Arg::Int(o.m_nStartPage),
                          Arg::Int(o.m_nEndPage), Arg::Text(kLineEnd)},
                         firstPiece);
}

bool HeaderCarriesPageRange(PrinterDialect dialect, BOOL openEnd) {
    // The piece ComposePageRange fills for such a model, looked up in the dialect's order.
    const std::span<const Piece> order = orderOf(dialect);
    if (dialect == kDialectLowerCaseTicket) {
        return uses(order, P::pageRange);
    }
    if (openEnd) {
        return uses(order, P::openEndRange);
    }
    return uses(order, P::rangeOrJobStart) || uses(order, P::pageRange);
}

bool ComposeDuplex(const JobHeaderInputs& in, CString& piece) {
    piece.clear();
    const bool longEdge = in.options.m_nBinding == 0;
    const bool duplex = in.options.m_bDuplex;
    if (in.capability.m_nPrinterType == kDialectLowerCaseTicket) {
        if (!duplex) {
            return true;
        }
        return FormatCommand(in.library, cmd::kDuplex, kShortPieceSize,
                             {Arg::Text(longEdge ? "LongEdge" : "ShortEdge"), Arg::Text(kLineEnd),
                              Arg::Text(longEdge ? "longedge" : "shortedge"), Arg::Text(kLineEnd),
                              Arg::Text(kLineEnd)},
                             piece);
    }
    if (!duplex) {
        return FormatCommand(in.library, cmd::kDuplex, kShortPieceSize,
                             {Arg::Text("OFF"), Arg::Text(kLineEnd)}, piece);
    }
    return formatJoined(
        in.library, kShortPieceSize,
        {{cmd::kDuplex, {Arg::Text("ON"), Arg::Text(kLineEnd)}},
         {cmd::kBinding, {Arg::Text(longEdge ? "LONGEDGE" : "SHORTEDGE"), Arg::Text(kLineEnd)}}},
        piece);
}

bool ComposeFitToPage(const JobHeaderInputs& in, CString& piece) {
    piece.clear();
    const bool fit = in.options.m_bFitToPage;
    switch (in.capability.m_nPrinterType) {
    case kDialectLowerCaseTicket:
        if (!fit) {
            return true;
        }
        return FormatCommand(in.library, cmd::kFitToPage, kShortPieceSize,
                             {Arg::Text(kLineEnd), Arg::Text(kLineEnd), Arg::Text(kLineEnd)},
                             piece);
    case kDialectMediaSource:
    case kDialectMediaSourceAlike:
        if (!in.capability.m_bCanFitToPage) {
            return true;
        }
        return FormatCommand(in.library, cmd::kFitToPageSwitch, kShortPieceSize,
                             {Arg::Text(fit ? "ON" : "OFF"), Arg::Text(kLineEnd)}, piece);
    case kDialectTicket:
    case kDialectPlain:
        break;
    }
    if (!in.capability.m_bCanFitToPage) {
        return true;
    }
    return FormatCommand(in.library, cmd::kFitToPage, kShortPieceSize,
                         {Arg::Int(fit ? 0 : 7), Arg::Text(kLineEnd)}, piece);
}

bool ComposePassword(const JobHeaderInputs& in, CString& piece) {
    piece.clear();
    if (!in.capability.m_bCanPassword || !in.options.m_bUsePassword) {
        return true;
    }
    // A password that would break its line, or that the printer's code page cannot carry, is
    // never sent.
    const std::optional<CString> password = PjlPassword(in.options.m_strPassword);
    return password && formatPassword(in.library, *password, piece);
}

bool ComposeJobOwner(const JobHeaderInputs& in, CString& piece) {
    piece.clear();
    const JobOwner& owner = in.owner;
    if (in.capability.m_bHasJobInfoDll) {
        piece = platform::text::ToPrinterText(owner.m_strJobInfoCmd);
        piece.resize(PrinterTextPrefixLength(piece, kJobInfoCommandMax));
        return true;
    }
    // The owner piece is a job ticket: the names are attribute values there, and neither may
    // add an attribute of its own (a file named "x;user=mallory.pdf").
    const CString user = PjlNameAttribute(owner.m_strUserName);
    const CString document = PjlNameAttribute(in.fileName);
    if (owner.m_bHasJobLog && owner.m_nAccountId != 0) {
        return FormatCommand(in.library, cmd::kJobOwnerAccount, kPieceSize,
                             {Arg::Int(owner.m_nAccountId), Arg::FreeText(user),
                              Arg::FreeText(document), Arg::Text(kLineEnd)},
                             piece);
    }
    return FormatCommand(in.library, cmd::kJobOwner, kPieceSize,
                         {Arg::FreeText(user), Arg::FreeText(document), Arg::Text(kLineEnd)},
                         piece);
}

std::optional<CString> ComposeJobHeader(const JobHeaderInputs& in) {
    const std::span<const Piece> order = orderOf(in.capability.m_nPrinterType);
    std::array<CString, kPieceCount> pieces;
    const auto at = [&](Piece piece) -> CString& {
        return pieces[static_cast<std::size_t>(piece)];
    };
    const bool range = uses(order, P::pageRange) || uses(order, P::openEndRange) ||
                       uses(order, P::rangeOrJobStart);
    const auto make = [&](Piece piece) {
        switch (piece) {
        case P::owner:
            return ComposeJobOwner(in, at(piece));
        case P::paperSource:
            return ComposePaperSource(in, at(piece));
        case P::copies:
            return ComposeCopies(in, at(piece));
        case P::duplex:
            return ComposeDuplex(in, at(piece));
        case P::fitToPage:
            return ComposeFitToPage(in, at(piece));
        case P::password:
            return ComposePassword(in, at(piece));
        case P::pdfLine:
            return fixedLine(in, cmd::kFixedLine18, at(piece));
        case P::holdLine:
            return fixedLine(in, cmd::kFixedLine19, at(piece));
        case P::languageLine:
            return fixedLine(in, cmd::kFixedLine20, at(piece));
        case P::jobStart:
        case P::rangeOrJobStart:
        case P::pageRange:
        case P::openEndRange:
            return true; // composed below
        }
        return false;
    };
    for (const Piece piece : order) {
        if (!make(piece)) {
            return std::nullopt;
        }
    }
    if (range && !ComposePageRange(in, at(P::pageRange), at(P::openEndRange))) {
        return std::nullopt;
    }
    // A named page range stands in for the job start where the dialect says so.
    const bool rangeReplacesJobStart = uses(order, P::rangeOrJobStart) && !at(P::pageRange).empty();
    if (!rangeReplacesJobStart &&
        !FormatCommand(in.library, cmd::kJobStart, kJobStartSize,
                       {Arg::FreeText(documentNameForPjl(in)), Arg::Text(kLineEnd)},
                       at(P::jobStart))) {
        return std::nullopt;
    }
    at(P::rangeOrJobStart) = rangeReplacesJobStart ? at(P::pageRange) : at(P::jobStart);

    CString header;
    for (const Piece piece : order) {
        header += at(piece);
    }
    return header;
}

bool HeaderCanCarryPassword(PrinterDialect dialect, const platform::ResourceModule* library,
                            const CString& password) {
    if (!uses(orderOf(dialect), P::password) || library == nullptr) {
        return true;
    }
    CString piece;
    const CString sent = PjlPassword(password).value_or(password);
    return formatPassword(library, sent, piece) || !formatPassword(library, CString(), piece);
}

} // namespace nv
