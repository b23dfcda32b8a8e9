// The PJL job header: one piece per option, each built from the command templates of the
// printer type's dialect, assembled in that dialect's order and written in one write.
#include "app/PdfSendApp.h"
#include "dialog/PdfSendDlg.h"
#include "job/CommandTemplates.h"
#include "job/PjlText.h"
#include "platform/profile/Profile.h"
#include "printer/CapabilityFile.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace nv {

namespace {

using Arg = CommandArg;

// The type-2 paper-source value is read into a buffer of this size (31 characters).
constexpr DWORD kTrayTextSizeType2 = 32;

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

} // namespace

CString CPdfSendDlg::DocumentNameForPjl() const {
    return m_pApp != nullptr ? PjlSafeText(m_pApp->m_strFileName) : CString();
}

// A tray value comes from the model's capability file and is sent as it stands, except that it
// can neither end its line nor add an attribute to the type-2 job ticket it also goes into.
int CPdfSendDlg::MakePaperSourceCmd(CString& piece) {
    piece.clear();
    const platform::ResourceModule* library = m_hCmdLib.get();
    switch (m_nPrinterType) {
    case 1: {
        const CString section = LookUpPaperSourceSection(m_strCapFile, m_strDriverName);
        const CString value = PjlAttributeValue(
            ReadCapabilityText(m_strCapFile, section, m_strTrayKey.c_str(), kCapabilityNone));
        if (value == "0") {
            return 1;
        }
        return FormatCommand(library, cmd::kPaperSource, kPieceSize,
                             {Arg::Text(value), Arg::Text(kLineEnd)}, piece);
    }
    case 2: {
        const CString section = LookUpPaperSourceSection(m_strCapFile, m_strDriverName);
        const CString value = PjlAttributeValue(ReadCapabilityText(
            m_strCapFile, section, m_strTrayKey.c_str(), kCapabilityNone, kTrayTextSizeType2));
        CString word;
        if (m_strTrayKey == "AutoTray") {
            word = "auto";
        } else if (m_strTrayKey == "Multi Purpose Tray") {
            word = "mptray";
        } else if (m_strTrayKey == "Manual Feed") {
            word = "manualfeed";
        } else {
            word = lowerAscii(value);
        }
        return FormatCommand(library, cmd::kPaperSource, kPieceSize,
                             {Arg::Text(value), Arg::Text(kLineEnd), Arg::Text(word),
                              Arg::Text(kLineEnd), Arg::Text(kLineEnd)},
                             piece);
    }
    case 3:
    case 4: {
        if (m_strTrayKey == "Manual Feed") {
            return FormatCommand(library, cmd::kManualFeed, kPieceSize,
                                 {Arg::Text("ON"), Arg::Text(kLineEnd)}, piece);
        }
        const CString section = LookUpPaperSourceSection(m_strCapFile, m_strDriverName);
        const CString value = PjlAttributeValue(
            ReadCapabilityText(m_strCapFile, section, m_strTrayKey.c_str(), kCapabilityNone));
        if (value == "0") {
            return 1;
        }
        return formatJoined(library, kPieceSize,
                            {{cmd::kManualFeed, {Arg::Text("OFF"), Arg::Text(kLineEnd)}},
                             {cmd::kMediaSource, {Arg::Text(value), Arg::Text(kLineEnd)}}},
                            piece);
    }
    default: {
        const CString section = LookUpPaperSourceSection(m_strCapFile, m_strDriverName);
        const UINT value = platform::GetPrivateProfileIntA(section.c_str(), m_strTrayKey.c_str(), 0,
                                                           m_strCapFile.c_str());
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
    }
}

int CPdfSendDlg::MakeCopiesCmd(CString& piece) {
    const platform::ResourceModule* library = m_hCmdLib.get();
    switch (m_nPrinterType) {
    case 1:
    case 3:
    case 4: {
        const UINT sets = m_bCollate ? m_nCopies : 1;
        const UINT copies = m_bCollate ? 1 : m_nCopies;
        return formatJoined(library, kPieceSize,
                            {{cmd::kCopies, {Arg::UInt(copies), Arg::Text(kLineEnd)}},
                             {cmd::kCollation, {Arg::UInt(sets), Arg::Text(kLineEnd)}}},
                            piece);
    }
    case 2:
        if (m_bCollate) {
            return formatJoined(library, kPieceSize,
                                {{cmd::kCopies,
                                  {Arg::UInt(m_nCopies), Arg::Text(kLineEnd), Arg::UInt(m_nCopies),
                                   Arg::Text(kLineEnd), Arg::Text(kLineEnd)}},
                                 {cmd::kCollation,
                                  {Arg::Text(kLineEnd), Arg::Text(kLineEnd), Arg::Text(kLineEnd)}}},
                                piece);
        }
        return FormatCommand(library, cmd::kCopies, kPieceSize,
                             {Arg::UInt(m_nCopies), Arg::Text(kLineEnd), Arg::UInt(m_nCopies),
                              Arg::Text(kLineEnd), Arg::Text(kLineEnd)},
                             piece);
    default:
        return FormatCommand(
            library, cmd::kCopies, kPieceSize,
            {Arg::Text(m_bCollate ? "true" : "false"), Arg::UInt(m_nCopies), Arg::Text(kLineEnd)},
            piece);
    }
}

int CPdfSendDlg::MakePageRangeCmd(CString& firstPiece, CString& secondPiece) {
    firstPiece.clear();
    secondPiece.clear();
    if (!m_bPageRange) {
        return 1;
    }
    const platform::ResourceModule* library = m_hCmdLib.get();
    if (m_nPrinterType == 2) {
        return FormatCommand(library, cmd::kPageRange, kPieceSize,
                             {Arg::Int(m_nStartPage), Arg::Int(m_nEndPage), Arg::Text(kLineEnd)},
                             firstPiece);
    }
    if (m_bOpenEndRange) {
        return FormatCommand(library, cmd::kPageRangeOpenEnd, kPieceSize,
                             {Arg::Int(m_nStartPage), Arg::Int(m_nEndPage), Arg::Text(kLineEnd)},
                             secondPiece);
    }
    const UINT id =
        (m_nPrinterType == 3 || m_nPrinterType == 4) ? cmd::kPageRangeJobStart : cmd::kPageRange;
    return FormatCommand(library, id, kPieceSize,
                         {Arg::FreeText(DocumentNameForPjl()), Arg::Int(m_nStartPage),
                          Arg::Int(m_nEndPage), Arg::Text(kLineEnd)},
                         firstPiece);
}

int CPdfSendDlg::MakeDuplexCmd(CString& piece) {
    piece.clear();
    const platform::ResourceModule* library = m_hCmdLib.get();
    const bool longEdge = m_nBinding == 0;
    if (m_nPrinterType == 2) {
        if (!m_bDuplex) {
            return 1;
        }
        return FormatCommand(library, cmd::kDuplex, kShortPieceSize,
                             {Arg::Text(longEdge ? "LongEdge" : "ShortEdge"), Arg::Text(kLineEnd),
                              Arg::Text(longEdge ? "longedge" : "shortedge"), Arg::Text(kLineEnd),
                              Arg::Text(kLineEnd)},
                             piece);
    }
    if (!m_bDuplex) {
        return FormatCommand(library, cmd::kDuplex, kShortPieceSize,
                             {Arg::Text("OFF"), Arg::Text(kLineEnd)}, piece);
    }
    return formatJoined(
        library, kShortPieceSize,
        {{cmd::kDuplex, {Arg::Text("ON"), Arg::Text(kLineEnd)}},
         {cmd::kBinding, {Arg::Text(longEdge ? "LONGEDGE" : "SHORTEDGE"), Arg::Text(kLineEnd)}}},
        piece);
}

int CPdfSendDlg::MakeFitToPageCmd(CString& piece) {
    piece.clear();
    const platform::ResourceModule* library = m_hCmdLib.get();
    switch (m_nPrinterType) {
    case 2:
        if (!m_bFitToPage) {
            return 1;
        }
        return FormatCommand(library, cmd::kFitToPage, kShortPieceSize,
                             {Arg::Text(kLineEnd), Arg::Text(kLineEnd), Arg::Text(kLineEnd)},
                             piece);
    case 3:
    case 4:
        if (!m_bCanFitToPage) {
            return 1;
        }
        return FormatCommand(library, cmd::kFitToPageSwitch, kShortPieceSize,
                             {Arg::Text(m_bFitToPage ? "ON" : "OFF"), Arg::Text(kLineEnd)}, piece);
    default:
        if (!m_bCanFitToPage) {
            return 1;
        }
        return FormatCommand(library, cmd::kFitToPage, kShortPieceSize,
                             {Arg::Int(m_bFitToPage ? 0 : 7), Arg::Text(kLineEnd)}, piece);
    }
}

int CPdfSendDlg::MakePasswordCmd(CString& piece) {
    piece.clear();
    if (!m_bCanPassword || !m_bUsePassword) {
        return 1;
    }
    if (!IsPjlSafePassword(m_strPassword)) {
        return 0; // a password that would break its line is never sent
    }
    return formatPassword(m_hCmdLib.get(), m_strPassword, piece) ? 1 : 0;
}

bool CPdfSendDlg::HeaderCanCarryPassword(const CString& password) const {
    if (m_nPrinterType == 2) {
        return true; // this dialect's header has no password command
    }
    const std::unique_ptr<platform::ResourceModule> library =
        platform::ResourceModule::Load(CommandLibraryPath());
    if (!library) {
        return true;
    }
    CString piece;
    return formatPassword(library.get(), password, piece) ||
           !formatPassword(library.get(), CString(), piece);
}

int CPdfSendDlg::ComposeJobHeader(CString& header) {
    header.clear();
    const platform::ResourceModule* library = m_hCmdLib.get();

    // Pieces are built only when the printer type's order uses them, so that a template of
    // another dialect can never stop the header.
    CString jobStart;
    const auto makeJobStart = [&] {
        return FormatCommand(library, cmd::kJobStart, kJobStartSize,
                             {Arg::FreeText(DocumentNameForPjl()), Arg::Text(kLineEnd)}, jobStart);
    };
    const auto makeFixedLine = [&](UINT id, CString& line) {
        const std::optional<CString> text = LoadCommandTemplate(library, id);
        if (!text) {
            return false;
        }
        line = *text + kLineEnd;
        return true;
    };

    CString paper, copies, range1, range2, duplex, fit, owner, password, line18, line19, line20;
    const UINT type = m_nPrinterType;
    const bool ok = MakePaperSourceCmd(paper) && MakeCopiesCmd(copies) &&
                    (type == 1 || MakePageRangeCmd(range1, range2)) && MakeDuplexCmd(duplex) &&
                    MakeFitToPageCmd(fit) && makeFixedLine(cmd::kFixedLine18, line18);
    if (!ok) {
        return 0;
    }
    const bool rangeReplacesJobStart = type != 1 && type != 2 && !range1.empty();
    if (!rangeReplacesJobStart && !makeJobStart()) {
        return 0;
    }
    const CString& rangeOrStart = rangeReplacesJobStart ? range1 : jobStart;

    std::vector<const CString*> order;
    switch (type) {
    case 1:
        if (!MakePasswordCmd(password)) {
            return 0;
        }
        order = {&jobStart, &paper, &copies, &duplex, &fit, &password, &line18};
        break;
    case 2:
        if (!MakeJobOwnerCmd(owner)) {
            return 0;
        }
        order = {&jobStart, &owner, &line18, &paper, &copies, &duplex, &fit, &range1};
        break;
    case 3:
    case 4:
        if (!MakePasswordCmd(password)) {
            return 0;
        }
        order = {&rangeOrStart, &paper, &copies, &duplex, &fit, &password, &line18};
        break;
    default:
        if (!MakeJobOwnerCmd(owner) || !MakePasswordCmd(password) ||
            !makeFixedLine(cmd::kFixedLine19, line19) ||
            !makeFixedLine(cmd::kFixedLine20, line20)) {
            return 0;
        }
        order = {&rangeOrStart, &owner, &duplex, &line18,   &line19, &copies,
                 &paper,        &fit,   &range2, &password, &line20};
        break;
    }
    for (const CString* piece : order) {
        header += *piece;
    }
    return 1;
}

int CPdfSendDlg::SendJobHeader(IJobWriter& writer) {
    CString header;
    if (!ComposeJobHeader(header)) {
        return 0;
    }
    const std::int64_t written = writer.Write(header.data(), header.size());
    return written == static_cast<std::int64_t>(header.size()) ? 1 : 0;
}

} // namespace nv
