// How a long job reports its progress to whoever shows it. The job calls Started once, then
// Advanced after each chunk it has handed on, then Finished once, on every path out (also
// after a failure). A view shows how much has gone and accepts no input in between; the job's
// own order of work and its buffer do not depend on who listens.
#pragma once

#include <cstdint>

namespace nv::platform {

class IJobProgress {
public:
    virtual ~IJobProgress() = default;
    // TOTALBYTES is the job's expected size, 0 when unknown.
    virtual void Started(std::uint64_t totalBytes) = 0;
    // SENTBYTES counts every byte handed on so far.
    virtual void Advanced(std::uint64_t sentBytes) = 0;
    virtual void Finished() = 0;
};

// For jobs nobody watches.
class NoJobProgress final : public IJobProgress {
public:
    void Started(std::uint64_t) override {}
    void Advanced(std::uint64_t) override {}
    void Finished() override {}
};

} // namespace nv::platform
