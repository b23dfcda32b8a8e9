#include "job/JobStream.h"

#include "job/PrintJob.h"

#include <algorithm>
#include <memory>
#include <string_view>

namespace nv {

namespace {

// "@PJL" and the line terminator, the line that follows each UEL but the last.
constexpr std::string_view kPjlLine = "@PJL\r\n";

} // namespace

bool WriteRow(IJobWriter& sink, const CString& row) {
    return sink.Write(row.data(), row.size()) == static_cast<std::int64_t>(row.size());
}

bool WriteJobOpening(IJobWriter& sink, const CString& header) {
    return WriteRow(sink, CString(kUel)) && WriteRow(sink, CString(kPjlLine)) &&
           WriteRow(sink, header);
}

bool WriteJobClosing(IJobWriter& sink, const CString& endOfJob) {
    return WriteRow(sink, CString(kUel)) && WriteRow(sink, CString(kPjlLine)) &&
           WriteRow(sink, endOfJob) && WriteRow(sink, CString(kUel));
}

std::int64_t UelGuard::Write(const void* data, std::size_t size) {
    if (scanner_.Contains(static_cast<const char*>(data), size)) {
        found_ = true;
        return -1;
    }
    return next_.Write(data, size);
}

JobProgressScope::~JobProgressScope() {
    if (started_) {
        view_->Finished();
    }
}

void JobProgressScope::Advanced(std::uint64_t sent, std::uint64_t total) {
    if (view_ == nullptr) {
        return;
    }
    if (!started_) {
        started_ = true;
        view_->Started(total);
    }
    view_->Advanced(sent);
}

std::int64_t ProgressCounter::Write(const void* data, std::size_t size) {
    const std::int64_t taken = next_.Write(data, size);
    if (taken == static_cast<std::int64_t>(size)) {
        sent_ += size;
        scope_.Advanced(sent_, total_);
    }
    return taken;
}

DocumentSource::DocumentSource(const CString& path)
    : file_(platform::ExclusiveFile::Open(path, nullptr)) {
    if (file_) {
        length_ = file_->Length();
    }
}

CopyResult DocumentSource::CopyTo(IJobWriter& sink, const std::function<bool()>& stop) {
    if (length_ < 0) {
        return CopyResult::unreadable;
    }
    const auto buffer = std::make_unique<char[]>(kDocumentChunkSize);
    for (auto left = static_cast<std::uint64_t>(length_); left > 0;) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(left, kDocumentChunkSize));
        const std::int64_t got = file_->Read(buffer.get(), want);
        // A file that ends early or cannot be read any more would leave the job short.
        if (got == 0) {
            return CopyResult::cut;
        }
        if (got < 0) {
            return CopyResult::unreadable;
        }
        if (sink.Write(buffer.get(), static_cast<std::size_t>(got)) != got) {
            return CopyResult::notTaken;
        }
        left -= static_cast<std::uint64_t>(got);
        if (stop && stop()) {
            return CopyResult::stopped;
        }
    }
    return CopyResult::complete;
}

} // namespace nv
