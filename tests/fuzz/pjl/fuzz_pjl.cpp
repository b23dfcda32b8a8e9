// Fuzz target for the virtual printer's PJL stream parser. The input is parsed twice, whole
// and in pieces whose sizes come from the input itself; both readings must agree, so a UEL
// or a line split across pieces is handled like one that is not.
#include "PjlStream.h"
#include "Sha256.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

struct Reading {
    nv::vprinter::PjlReport report;
    std::string document;
};

Reading Parse(const std::uint8_t* data, std::size_t size, std::size_t step) {
    Reading reading;
    nv::vprinter::PjlStreamParser parser([&](const std::uint8_t* bytes, std::size_t count) {
        reading.document.append(reinterpret_cast<const char*>(bytes), count);
    });
    for (std::size_t at = 0; at < size;) {
        const std::size_t take = std::min(size - at, step);
        parser.Feed(data + at, take);
        at += take;
    }
    parser.Finish();
    reading.report = parser.Report();
    return reading;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::size_t step = size == 0 ? 1 : 1 + data[0] % 13;
    const Reading whole = Parse(data, size, size == 0 ? 1 : size);
    const Reading pieces = Parse(data, size, step);
    const auto& a = whole.report;
    const auto& b = pieces.report;
    if (whole.document != pieces.document || a.documentBytes != whole.document.size() ||
        a.header != b.header || a.trailer != b.trailer || a.faults != b.faults ||
        a.language != b.language || a.endsWithUel != b.endsWithUel || a.totalBytes != size ||
        a.documentBytes > size) {
        std::abort();
    }
    nv::vprinter::Sha256 sha;
    sha.Update(whole.document.data(), whole.document.size());
    (void)sha.FinishHex();
    return 0;
}
