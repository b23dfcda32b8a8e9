// The job sink over a started raw spooler document: every write is taken whole or fails.
#pragma once

#include "job/JobWriter.h"
#include "platform/spooler/Spooler.h"

namespace nv {

class DocumentJobWriter : public IJobWriter {
public:
    explicit DocumentJobWriter(platform::IPrintDocument& document) : document_(document) {}

    // Writes all SIZE bytes, repeating the spooler's short writes. Returns SIZE, or -1 when a
    // write fails or the spooler stops taking bytes (the document then lacks some of them).
    std::int64_t Write(const void* data, std::size_t size) override;

private:
    platform::IPrintDocument& document_;
};

} // namespace nv
