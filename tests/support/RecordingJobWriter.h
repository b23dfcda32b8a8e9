// A job sink that keeps every byte written, and can be told to fail or to take fewer bytes.
#pragma once

#include "job/JobWriter.h"

#include <string>
#include <vector>

namespace nv::test {

class RecordingJobWriter : public IJobWriter {
public:
    std::int64_t Write(const void* data, std::size_t size) override {
        ++writes;
        if (fail) {
            return -1;
        }
        const std::size_t taken = size < accept ? size : accept;
        bytes.append(static_cast<const char*>(data), taken);
        return static_cast<std::int64_t>(taken);
    }
    std::string bytes;
    int writes = 0;
    bool fail = false;
    std::size_t accept = static_cast<std::size_t>(-1); // the most one write takes
};

} // namespace nv::test
