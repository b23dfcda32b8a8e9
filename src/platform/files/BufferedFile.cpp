#include "platform/files/BufferedFile.h"

#include <algorithm>
#include <cstring>

namespace nv::platform {

std::int64_t BufferedFile::Refill() {
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    const std::int64_t got = ReadRaw(buffer_.data() + end_, buffer_.size() - end_);
    if (got > 0) {
        end_ += static_cast<std::size_t>(got);
    }
    return got;
}

std::int64_t BufferedFile::Read(void* buffer, std::size_t size) {
    char* out = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        if (begin_ < end_) {
            const std::size_t take = std::min(size - done, end_ - begin_);
            std::memcpy(out + done, buffer_.data() + begin_, take);
            begin_ += take;
            done += take;
            continue;
        }
        // Once the buffer is drained, large reads go straight into the caller's memory.
        const std::size_t want = size - done;
        const bool direct = want >= buffer_.size();
        const std::int64_t got = direct ? ReadRaw(out + done, want) : Refill();
        if (got < 0) {
            return -1;
        }
        if (got == 0) {
            break;
        }
        if (direct) {
            done += static_cast<std::size_t>(got);
        }
    }
    return static_cast<std::int64_t>(done);
}

int BufferedFile::NextTextByte() {
    if (textEnded_) {
        return kEnd;
    }
    if (begin_ == end_) {
        const std::int64_t got = Refill();
        if (got <= 0) {
            return got < 0 ? kError : kEnd;
        }
    }
    const unsigned char c = static_cast<unsigned char>(buffer_[begin_]);
    if (c == 0x1A) {
        textEnded_ = true;
        return kEnd;
    }
    if (c == '\r') {
        if (begin_ + 1 == end_ && Refill() < 0) {
            return kError;
        }
        if (begin_ + 1 < end_ && buffer_[begin_ + 1] == '\n') {
            begin_ += 2;
            return '\n';
        }
    }
    ++begin_;
    return c;
}

bool BufferedFile::ReadTextLine(char* buffer, std::size_t size) {
    if (size == 0) {
        return false;
    }
    buffer[0] = '\0';
    std::size_t count = 0;
    while (count + 1 < size) {
        const int c = NextTextByte();
        if (c == kError) {
            buffer[0] = '\0';
            return false;
        }
        if (c == kEnd) {
            break;
        }
        buffer[count++] = static_cast<char>(c);
        if (c == '\n') {
            break;
        }
    }
    buffer[count] = '\0';
    return count > 0;
}

} // namespace nv::platform
