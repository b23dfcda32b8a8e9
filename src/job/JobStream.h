// The stages a job stream passes through on its way to the spooler. The framing rows around
// the document, the guard that keeps the PJL exit sequence out of the document, the count that
// tells a progress view how far the document is, and the copy of the document itself are each
// a piece on its own; a print attempt chains them in front of the spooler document's sink.
#pragma once

#include "job/JobWriter.h"
#include "job/UelScanner.h"
#include "platform/files/Files.h"
#include "platform/ui/JobProgress.h"
#include "platform/wintypes.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace nv {

// Writes ROW into SINK in one write; true when every byte was taken.
bool WriteRow(IJobWriter& sink, const CString& row);
// The rows before the document: UEL, "@PJL" and the job header HEADER.
bool WriteJobOpening(IJobWriter& sink, const CString& header);
// The rows after the document: UEL, "@PJL", the end-of-job line ENDOFJOB and UEL.
bool WriteJobClosing(IJobWriter& sink, const CString& endOfJob);

// Passes the document on to the next stage unless a piece, read together with the pieces
// before it, holds the UEL sequence: that piece is refused whole (nothing of it is written).
class UelGuard final : public IJobWriter {
public:
    explicit UelGuard(IJobWriter& next) : next_(next) {}
    std::int64_t Write(const void* data, std::size_t size) override;
    // Whether a piece was refused for holding the sequence.
    bool Found() const { return found_; }

private:
    IJobWriter& next_;
    UelScanner scanner_;
    bool found_ = false;
};

// Takes every piece whole and keeps nothing: the end of a stream that is only checked.
class DiscardingWriter final : public IJobWriter {
public:
    std::int64_t Write(const void*, std::size_t size) override {
        return static_cast<std::int64_t>(size);
    }
};

// One job as a progress view sees it: started with the document's length at its first piece,
// advanced after each, and finished when the scope ends, on every path (also after a failure
// halfway). A job that never reached the document's bytes is not shown at all.
class JobProgressScope {
public:
    // VIEW may be null (nobody watches); it must outlive the scope.
    explicit JobProgressScope(platform::IJobProgress* view) : view_(view) {}
    ~JobProgressScope();
    JobProgressScope(const JobProgressScope&) = delete;
    JobProgressScope& operator=(const JobProgressScope&) = delete;
    // SENT bytes of a document of TOTAL bytes are written.
    void Advanced(std::uint64_t sent, std::uint64_t total);

private:
    platform::IJobProgress* view_;
    bool started_ = false;
};

// Counts the document's bytes on their way to the next stage and reports each piece taken
// whole to SCOPE, for a document of TOTAL bytes.
class ProgressCounter final : public IJobWriter {
public:
    ProgressCounter(IJobWriter& next, JobProgressScope& scope, std::uint64_t total)
        : next_(next), scope_(scope), total_(total) {}
    std::int64_t Write(const void* data, std::size_t size) override;

private:
    IJobWriter& next_;
    JobProgressScope& scope_;
    std::uint64_t total_;
    std::uint64_t sent_ = 0;
};

// How copying a document into a stream ended.
enum class CopyResult {
    complete,   // every byte of the file's length was written
    unreadable, // the file cannot be opened or read
    cut,        // the file ends before the length it had when opened: it got shorter
    notTaken,   // the sink did not take a piece whole
    stopped     // the stop request came after a piece
};

// The document of a job: its file, opened exclusively, and the length it had when opened.
class DocumentSource {
public:
    explicit DocumentSource(const CString& path);
    // The length of the file; -1 when it cannot be opened or its length cannot be read.
    std::int64_t Length() const { return length_; }
    // Copies the file into SINK through one buffer, in pieces of at most kDocumentChunkSize
    // bytes, asking STOP (when given) after each piece. Call once.
    CopyResult CopyTo(IJobWriter& sink, const std::function<bool()>& stop = {});

private:
    std::unique_ptr<platform::ExclusiveFile> file_;
    std::int64_t length_ = -1;
};

} // namespace nv
