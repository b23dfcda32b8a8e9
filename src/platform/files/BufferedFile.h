// Buffered binary and text-mode reading over a platform's raw reads, shared by the platform
// implementations of ExclusiveFile, so that a line is read from memory, not a call per byte.
#pragma once

#include "platform/files/Files.h"

#include <array>

namespace nv::platform {

class BufferedFile : public ExclusiveFile {
public:
    static constexpr std::size_t kBufferSize = 4096;

    std::int64_t Read(void* buffer, std::size_t size) override;
    bool ReadTextLine(char* buffer, std::size_t size) override;

protected:
    // Reads up to SIZE bytes at the file's own position: the count (short reads allowed), 0 at
    // the end of the file, -1 on an error.
    virtual std::int64_t ReadRaw(void* buffer, std::size_t size) = 0;

private:
    static constexpr int kEnd = -1;
    static constexpr int kError = -2;

    // Moves the unread bytes to the front and appends what the file gives: the count added,
    // 0 at the end of the file, -1 on an error.
    std::int64_t Refill();
    // The next byte of the text-mode view (CR LF as LF, 0x1A ends), kEnd or kError.
    int NextTextByte();

    std::array<char, kBufferSize> buffer_{};
    std::size_t begin_ = 0; // first unread byte
    std::size_t end_ = 0;   // one past the last buffered byte
    bool textEnded_ = false;
};

} // namespace nv::platform
