// A progress view that hands each piece (document bytes sent, document length) to a function
// and counts the jobs it saw start and finish.
#pragma once

#include "platform/ui/JobProgress.h"

#include <cstdint>
#include <functional>
#include <utility>

namespace nv::test {

class ProgressHook final : public platform::IJobProgress {
public:
    explicit ProgressHook(std::function<void(std::uint64_t sent, std::uint64_t total)> hook)
        : hook_(std::move(hook)) {}
    void Started(std::uint64_t total) override {
        total_ = total;
        ++started;
    }
    void Advanced(std::uint64_t sent) override { hook_(sent, total_); }
    void Finished() override { ++finished; }
    int started = 0;
    int finished = 0;

private:
    std::function<void(std::uint64_t, std::uint64_t)> hook_;
    std::uint64_t total_ = 0;
};

} // namespace nv::test
