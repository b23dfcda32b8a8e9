// The PJL command templates of a command library: their IDs, the buffers they are read and
// formatted in, and formatting that never lets a piece overflow its buffer or lose its line end.
#pragma once

#include "platform/modules/Modules.h"
#include "platform/wintypes.h"
#include "resources/CommandIds.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace nv {

// The line terminator that ends every PJL line; templates receive it as a text argument.
inline constexpr const char* kLineEnd = "\r\n";

// Piece buffer sizes, NUL included.
inline constexpr std::size_t kJobStartSize = 320;   // the job-start line
inline constexpr std::size_t kShortPieceSize = 128; // duplex and fit to page
inline constexpr std::size_t kPieceSize = 260;      // every other piece

// The size of the buffer template ID is read into, NUL included.
std::size_t CommandTemplateSize(UINT id);

// Template ID of LIBRARY as text: empty when the library lacks it; nothing when the template
// is longer than its buffer (cmd::TemplateBufferSize) (a cut template could lose the line end it
// formats).
std::optional<CString> LoadCommandTemplate(const platform::ResourceModule* library, UINT id);

// One argument of a template. Free text (document and user names) may be shortened, at a
// character boundary, so that the formatted piece fits its buffer.
class CommandArg {
public:
    static CommandArg Int(std::int32_t value) { return CommandArg(Kind::Int, value, ""); }
    static CommandArg UInt(std::uint32_t value) {
        return CommandArg(Kind::UInt, static_cast<std::int64_t>(value), "");
    }
    static CommandArg Text(std::string text) { return CommandArg(Kind::Text, 0, std::move(text)); }
    static CommandArg FreeText(std::string text) {
        return CommandArg(Kind::FreeText, 0, std::move(text));
    }

    enum class Kind { Int, UInt, Text, FreeText };
    Kind kind;
    std::int64_t number;
    std::string text;

private:
    CommandArg(Kind k, std::int64_t n, std::string t) : kind(k), number(n), text(std::move(t)) {}
};

// Formats template ID of LIBRARY with ARGS into PIECE, which must fit in PIECESIZE-1 bytes.
// When it does not, the longest free-text argument loses its last character until it fits.
// Returns false, leaving PIECE empty, when the template is too long for its buffer or the
// piece cannot fit even with every free text emptied.
bool FormatCommand(const platform::ResourceModule* library, UINT id, std::size_t pieceSize,
                   std::initializer_list<CommandArg> args, CString& piece);

// Appends PART to JOINED when the two fit together in JOINSIZE-1 bytes; false otherwise.
bool JoinPiece(CString& joined, const CString& part, std::size_t joinSize);

// A command library that notes every template read from it that reads empty (missing, or
// damaged so that nothing of it can be read), so that a header composed from it can be refused
// instead of going out without the pieces it needs.
class WatchedCommandLibrary final : public platform::ResourceModule {
public:
    explicit WatchedCommandLibrary(std::unique_ptr<platform::ResourceModule> library)
        : library_(std::move(library)) {}

    int LoadStringA(UINT id, char* buffer, int bufferMax) const override;
    std::vector<std::uint8_t> FindResourceData(UINT type, UINT id) const override;
    std::vector<UINT> ResourceIds(UINT type) const override;
    std::string LoadText(UINT id) const override;

    // Whether a template read since the library was loaded read empty.
    bool ReadAnEmptyTemplate() const { return readEmpty_; }

private:
    std::unique_ptr<platform::ResourceModule> library_;
    mutable bool readEmpty_ = false;
};

} // namespace nv
