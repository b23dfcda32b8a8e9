// nv-bench-spool PRINTER FILE: sends FILE unchanged as one raw document to PRINTER through the
// system spooler (scheduler printers, then direct printers), in writes of 514000 bytes as the
// job sequence does, and prints the seconds from opening the printer to the end of the document.
#include "platform/spooler/posix/SystemSpooler.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: nv-bench-spool PRINTER FILE\n");
        return 2;
    }
    std::ifstream in(argv[2], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "nv-bench-spool: cannot read %s\n", argv[2]);
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    auto spooler = nv::platform::CreateSystemSpooler();
    auto printer = spooler->OpenPrinter(argv[1]);
    if (!printer) {
        std::fprintf(stderr, "nv-bench-spool: no printer %s\n", argv[1]);
        return 1;
    }
    auto doc = printer->StartDocPrinter({"bench.pdf", std::nullopt});
    if (!doc) {
        std::fprintf(stderr, "nv-bench-spool: the document did not start\n");
        return 1;
    }
    std::vector<char> buffer(514000);
    unsigned long long total = 0;
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        const auto got = static_cast<nv::DWORD>(in.gcount());
        if (got > 0 && !nv::platform::WriteAll(*doc, buffer.data(), got)) {
            std::fprintf(stderr, "nv-bench-spool: write failed after %llu bytes\n", total);
            return 1;
        }
        total += got;
    }
    if (!doc->EndDocPrinter()) {
        std::fprintf(stderr, "nv-bench-spool: the document did not end\n");
        return 1;
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%.3f %llu\n", took.count(), total);
    return 0;
}
