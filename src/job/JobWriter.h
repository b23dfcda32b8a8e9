// The sink a print attempt writes its job stream into: the started raw document on the spooler.
#pragma once

#include <cstddef>
#include <cstdint>

namespace nv {

class IJobWriter {
public:
    virtual ~IJobWriter() = default;
    // Writes SIZE bytes of DATA into the document. Returns the number of bytes the spooler
    // accepted, or -1 when the write failed.
    virtual std::int64_t Write(const void* data, std::size_t size) = 0;
};

} // namespace nv
