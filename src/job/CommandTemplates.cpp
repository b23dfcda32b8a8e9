#include "job/CommandTemplates.h"

#include "job/PjlText.h"
#include "platform/format/Format.h"

#include <algorithm>
#include <vector>

namespace nv {

namespace {

// No template takes more arguments than this.
constexpr std::size_t kMaxArgs = 6;
// Room for a cut at a character boundary beyond a template buffer: a UTF-8 character has at
// most four bytes, so a longer template is always seen as longer.
constexpr std::size_t kTemplateSlack = 8;

platform::FormatResult formatArgs(char* out, std::size_t size, const char* format,
                                  const platform::FormatArg* a, std::size_t count) {
    switch (count) {
    case 0:
        return platform::FormatChecked(out, size, format, {});
    case 1:
        return platform::FormatChecked(out, size, format, {a[0]});
    case 2:
        return platform::FormatChecked(out, size, format, {a[0], a[1]});
    case 3:
        return platform::FormatChecked(out, size, format, {a[0], a[1], a[2]});
    case 4:
        return platform::FormatChecked(out, size, format, {a[0], a[1], a[2], a[3]});
    case 5:
        return platform::FormatChecked(out, size, format, {a[0], a[1], a[2], a[3], a[4]});
    default:
        return platform::FormatChecked(out, size, format, {a[0], a[1], a[2], a[3], a[4], a[5]});
    }
}

platform::FormatArg toFormatArg(const CommandArg& arg) {
    switch (arg.kind) {
    case CommandArg::Kind::Int:
        return platform::FormatArg::Int(static_cast<std::int32_t>(arg.number));
    case CommandArg::Kind::UInt:
        return platform::FormatArg::UInt(static_cast<std::uint32_t>(arg.number));
    default:
        return platform::FormatArg::Text(arg.text.c_str());
    }
}

} // namespace

std::optional<CString> LoadCommandTemplate(const platform::ResourceModule* library, UINT id) {
    if (library == nullptr) {
        return CString();
    }
    const auto size = static_cast<std::size_t>(cmd::TemplateBufferSize(id));
    std::vector<char> buffer(size + kTemplateSlack, '\0');
    const int length = library->LoadStringA(id, buffer.data(), static_cast<int>(buffer.size()));
    if (length < 0) {
        return CString();
    }
    if (static_cast<std::size_t>(length) > size - 1) {
        return std::nullopt;
    }
    return CString(buffer.data(), static_cast<std::size_t>(length));
}

bool FormatCommand(const platform::ResourceModule* library, UINT id, std::size_t pieceSize,
                   std::initializer_list<CommandArg> args, CString& piece) {
    piece.clear();
    const std::optional<CString> format = LoadCommandTemplate(library, id);
    if (!format || args.size() > kMaxArgs) {
        return false;
    }
    std::vector<CommandArg> work(args);
    // A precision in the template (a name's significant length, "%.80s") cuts byte-wise; a
    // free text is cut first at the last whole character within it, so that no line ever
    // carries half a character.
    const std::vector<std::size_t> precisions =
        platform::TextPrecisions(format->c_str(), work.size());
    for (std::size_t i = 0; i < work.size(); ++i) {
        CommandArg& arg = work[i];
        // Text longer than the piece can never fit whole; start from what could.
        if (arg.kind == CommandArg::Kind::FreeText) {
            const std::size_t limit =
                precisions[i] != 0 ? std::min(precisions[i], pieceSize - 1) : pieceSize - 1;
            arg.text.resize(PrinterTextPrefixLength(arg.text, limit));
        }
    }
    std::vector<char> buffer(pieceSize, '\0');
    for (;;) {
        platform::FormatArg formatArgsList[kMaxArgs] = {
            platform::FormatArg::Int(0), platform::FormatArg::Int(0), platform::FormatArg::Int(0),
            platform::FormatArg::Int(0), platform::FormatArg::Int(0), platform::FormatArg::Int(0)};
        for (std::size_t i = 0; i < work.size(); ++i) {
            formatArgsList[i] = toFormatArg(work[i]);
        }
        const platform::FormatResult result =
            formatArgs(buffer.data(), pieceSize, format->c_str(), formatArgsList, work.size());
        if (!result.truncated) {
            piece = CString(buffer.data());
            return true;
        }
        CommandArg* longest = nullptr;
        for (CommandArg& arg : work) {
            if (arg.kind == CommandArg::Kind::FreeText && !arg.text.empty() &&
                (longest == nullptr || arg.text.size() > longest->text.size())) {
                longest = &arg;
            }
        }
        if (longest == nullptr) {
            return false;
        }
        longest->text.resize(PrinterTextPrefixLength(longest->text, longest->text.size() - 1));
    }
}

bool JoinPiece(CString& joined, const CString& part, std::size_t joinSize) {
    if (joined.size() + part.size() > joinSize - 1) {
        return false;
    }
    joined += part;
    return true;
}

int WatchedCommandLibrary::LoadStringA(UINT id, char* buffer, int bufferMax) const {
    const int length = library_->LoadStringA(id, buffer, bufferMax);
    readEmpty_ = readEmpty_ || (length <= 0 && bufferMax > 0);
    return length;
}

std::vector<std::uint8_t> WatchedCommandLibrary::FindResourceData(UINT type, UINT id) const {
    return library_->FindResourceData(type, id);
}

std::vector<UINT> WatchedCommandLibrary::ResourceIds(UINT type) const {
    return library_->ResourceIds(type);
}

std::string WatchedCommandLibrary::LoadText(UINT id) const {
    std::string text = library_->LoadText(id);
    readEmpty_ = readEmpty_ || text.empty();
    return text;
}

} // namespace nv
