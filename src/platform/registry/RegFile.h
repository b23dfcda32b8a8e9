// The REGEDIT4 text form of a store: a "REGEDIT4" header line, then per key a "[path]" line
// followed by its values, one per line: "Name"="text" (REG_SZ holding exactly text plus one
// NUL; backslash and quote escaped by a backslash), "Name"=dword:0000000a (4-byte REG_DWORD),
// and "Name"=hex:.. or "Name"=hex(N):.. (any other type or size, two hex digits per byte,
// lines continued by a trailing backslash). @ names the default value; ';' starts a comment.
#pragma once

#include "platform/registry/Hive.h"

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace nv::platform {

// Files and lines past these sizes are not read as a whole.
inline constexpr std::size_t kMaxRegFileBytes = std::size_t{8} << 20;
inline constexpr std::size_t kMaxRegLineBytes = std::size_t{64} << 10;

// Reads TEXT (at most kMaxRegFileBytes are looked at) into a hive. Never fails: a line that
// cannot be read (garbled, too long, a truncated value, a value before any key, a name that is
// not valid) is skipped and counted in *UNREADABLE (when given); after an unreadable key line
// the values up to the next key line are skipped too, so that none lands in the wrong key. A
// number needs all 8 digits, a byte both of its 2, and a hex value its line's newline, so that
// a value cut off with the file is dropped rather than misread.
// Later duplicates of a value replace earlier ones. Each key line lists its key; ancestors
// without a line of their own exist through it (Hive::KeyExists). Time is linear in TEXT.
Hive ParseRegFile(std::string_view text, std::size_t* unreadable = nullptr);

// Lines of a file that the hive cannot hold (unreadable lines, comments), verbatim with their
// line ends, by the folded path of the last readable key line before them ("" before the first
// one), so that a rewrite carries them on. One entry per unreadable line, or per value with
// the continuation lines it took.
using KeptLines = std::map<std::string, std::vector<std::string>>;

struct RegFileContent {
    Hive hive;
    KeptLines kept;
    std::size_t unreadable = 0; // lines (or continued values) that could not be read
    // False when writing the content back could lose or change what the file holds: a NUL
    // byte (another encoding, such as a UTF-16 export, or not text at all), a first line that
    // is not the REGEDIT4 header (not a file of this store), an unreadable last line without
    // its newline (the file was cut off), or more than kMaxRegFileBytes.
    bool rewritable = true;
};

// Reads TEXT like ParseRegFile and keeps what the hive cannot hold.
RegFileContent ReadRegFile(std::string_view text);

// Writes HIVE like SerializeRegFile, each key followed by its kept lines; the lines kept before
// the first key follow the header. ReadRegFile reads back the same hive and the same kept lines.
std::string WriteRegFile(const Hive& hive, const KeptLines& kept);

// Writes HIVE in the form above, keys in folded-path order, values in folded-name order. A
// REG_SZ value is written as text only when the text form carries it exactly (one NUL, at the
// end, no CR or LF, and a line within kMaxRegLineBytes); otherwise as hex(1). Every line fits
// kMaxRegLineBytes, so ParseRegFile reads back the same hive.
std::string SerializeRegFile(const Hive& hive);

} // namespace nv::platform
