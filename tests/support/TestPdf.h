// Documents for print tests: a PDF header line followed by bytes of every value.
#pragma once

#include "job/UelScanner.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace nv::test {

// A PDF of SIZE bytes: "%PDF-1.4" and a line end, then bytes in a fixed pseudo-random order
// (SEED chooses it), with every UEL sequence the bytes happen to form broken up, so that the
// document is printable as it is.
inline std::string TestPdf(std::size_t size, std::uint32_t seed = 12345) {
    std::string pdf = "%PDF-1.4\n";
    std::uint32_t state = seed;
    while (pdf.size() < size) {
        state = state * 1103515245u + 12345u;
        pdf += static_cast<char>(state >> 24);
    }
    pdf.resize(size);
    for (std::size_t at = pdf.find(kUel); at != std::string::npos; at = pdf.find(kUel, at)) {
        pdf[at + 1] = '&';
    }
    return pdf;
}

} // namespace nv::test
