// The print job on the spooler: the raw document's datatype and the size of the pieces
// the document bytes are sent in.
#pragma once

#include "platform/wintypes.h"

#include <cstddef>
#include <optional>

namespace nv {

// The document is read and written in pieces of at most this many bytes, through one buffer.
inline constexpr std::size_t kDocumentChunkSize = 514000;

// The datatype a raw document gets for the capability file CAPFILE: "XPS_PASS" when the first
// of its last five characters (the one before ".cap"), lower-cased, is one of t, d, y, i, g;
// none otherwise, so that the spooler applies the printer's default datatype.
std::optional<CString> DatatypeForCapabilityFile(const CString& capFile);

} // namespace nv
