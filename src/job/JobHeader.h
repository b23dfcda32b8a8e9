// The PJL job header: one piece per option, each formatted from the command templates of the
// printer's dialect, put together in that dialect's order. Every step works on values only.
#pragma once

#include "job/JobOptions.h"
#include "platform/modules/Modules.h"
#include "platform/wintypes.h"
#include "printer/Capability.h"

#include <optional>

namespace nv {

// What a header is composed from.
struct JobHeaderInputs {
    const PrinterCapability& capability;
    const JobOptions& options;
    const JobOwner& owner;
    const platform::ResourceModule* library; // the dialect's command library (may be null)
    CString fileName;                        // the PDF's file name, as it stands
};

// The pieces of the header. Each fills PIECE and returns true, or returns false when the piece
// cannot be formatted within its buffer without losing its line end (or, for the password,
// when the password cannot be sent safely). A piece the options do not ask for is empty.
bool ComposePaperSource(const JobHeaderInputs& in, CString& piece);
bool ComposeCopies(const JobHeaderInputs& in, CString& piece);
// The range as its own line or as the job start (FIRSTPIECE), or the open-ended range
// (SECONDPIECE).
bool ComposePageRange(const JobHeaderInputs& in, CString& firstPiece, CString& secondPiece);
// Whether a header of DIALECT sends a page range at all when the model's end page may be left
// open (OPENEND): the piece the range goes into is one the dialect's order puts in the header.
bool HeaderCarriesPageRange(PrinterDialect dialect, BOOL openEnd);
bool ComposeDuplex(const JobHeaderInputs& in, CString& piece);
bool ComposeFitToPage(const JobHeaderInputs& in, CString& piece);
bool ComposePassword(const JobHeaderInputs& in, CString& piece);
bool ComposeJobOwner(const JobHeaderInputs& in, CString& piece);

// The whole header, with only the pieces the dialect's order uses composed (so a template of
// another dialect can never stop it); nothing when one of them cannot be composed.
std::optional<CString> ComposeJobHeader(const JobHeaderInputs& in);

// Whether a header of DIALECT can carry PASSWORD unchanged: the dialect sends no password, or
// the password command of LIBRARY holds the escaped password within its piece. A library that
// is not there (null), or whose password command cannot hold even an empty password, says
// nothing about the password, which then counts as carried.
bool HeaderCanCarryPassword(PrinterDialect dialect, const platform::ResourceModule* library,
                            const CString& password);

} // namespace nv
