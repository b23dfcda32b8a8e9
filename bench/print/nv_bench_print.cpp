// nv-bench-print PRINTER PDF: presses Print on the headless dialog with PRINTER chosen, on the
// system spooler, and prints "SECONDS BYTES PEAK_RSS_KIB" for the press (from the click until
// the dialog ended); exits 1 when the job was not sent.
// nv-bench-print --scan MIB: the rate at which the UEL check reads MIB MiB of document bytes
// in pieces of the job's size, in MiB/s.
// nv-bench-print --open PDF: the seconds from making the system spooler until the dialog is open
// (its printer list filled and the first printer taken), which the window program spends
// before its dialog is shown.
#include "app/PdfSendApp.h"
#include "dialog/PdfSendDlg.h"
#include "job/PrintJob.h"
#include "job/UelScanner.h"
#include "platform/files/Files.h"
#include "platform/registry/memory/MemoryRegistry.h"
#include "platform/spooler/posix/SystemSpooler.h"
#include "platform/ui/StderrMessageBox.h"
#include "resources/ResourceIds.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <sys/resource.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

int Scan(long mib) {
    std::vector<char> data(64u << 20);
    std::mt19937 random(7);
    for (char& c : data) {
        c = static_cast<char>(random());
    }
    // A document without the sequence, as nearly every one is: every escape byte is looked at.
    for (std::size_t i = 0; i + 1 < data.size(); ++i) {
        if (data[i] == '\x1B' && data[i + 1] == '%') {
            data[i + 1] = '&';
        }
    }
    nv::UelScanner scanner;
    const std::uint64_t total = static_cast<std::uint64_t>(mib) << 20;
    std::uint64_t done = 0;
    bool found = false;
    const auto start = Clock::now();
    while (done < total) {
        for (std::size_t at = 0; at < data.size() && done < total; at += nv::kDocumentChunkSize) {
            const std::size_t size = std::min(nv::kDocumentChunkSize, data.size() - at);
            found |= scanner.Contains(data.data() + at, size);
            done += size;
        }
    }
    const std::chrono::duration<double> took = Clock::now() - start;
    std::printf("%.1f%s\n", static_cast<double>(done) / 1048576.0 / took.count(),
                found ? " (found)" : "");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--scan") == 0) {
        return Scan(std::atol(argv[2]));
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: nv-bench-print PRINTER PDF | nv-bench-print --scan MIB | "
                             "nv-bench-print --open PDF\n");
        return 2;
    }
    const bool openOnly = std::strcmp(argv[1], "--open") == 0;
    const std::string printer = argv[1];
    nv::CPdfSendApp app;
    app.m_strFilePath = argv[2];
    const std::size_t slash = app.m_strFilePath.rfind('/');
    app.m_strFileName =
        slash == std::string::npos ? app.m_strFilePath : app.m_strFilePath.substr(slash + 1);
    app.m_hResLib =
        nv::platform::ResourceModule::Load(nv::platform::GetProgramDirectory() + "Norvres.dll");
    nv::platform::StderrMessageBox box(stderr, nv::platform::IDYES);
    nv::platform::MemoryRegistry registry;
    const auto opening = Clock::now();
    const auto spooler = nv::platform::CreateSystemSpooler();
    nv::CPdfSendDlg dialog(&app,
                           nv::DialogServices{&box, app.m_hResLib.get(), &registry, spooler.get()});
    if (!dialog.Open()) {
        std::fprintf(stderr, "nv-bench-print: the dialog did not open\n");
        return 1;
    }
    if (openOnly) {
        const std::chrono::duration<double> took = Clock::now() - opening;
        std::printf("%.4f\n", took.count());
        return 0;
    }
    auto& window = *dialog.GetWindow();
    const auto& items = window.GetComboBox(static_cast<int>(nv::res::ctl::kPrinterList))->items();
    const auto it = std::find(items.begin(), items.end(), printer);
    if (it == items.end()) {
        std::fprintf(stderr, "nv-bench-print: %s is not offered\n", printer.c_str());
        return 1;
    }
    window.PickItem(static_cast<int>(nv::res::ctl::kPrinterList),
                    static_cast<int>(it - items.begin()));
    const auto start = Clock::now();
    window.Click(static_cast<int>(nv::res::ctl::kPrintButton));
    const std::chrono::duration<double> took = Clock::now() - start;
    if (!window.IsEnded() || window.GetEndResult() != nv::platform::IDOK) {
        std::fprintf(stderr, "nv-bench-print: the job was not sent\n");
        return 1;
    }
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::FILE* pdf = std::fopen(argv[2], "rb");
    long long bytes = -1;
    if (pdf != nullptr && std::fseek(pdf, 0, SEEK_END) == 0) {
        bytes = std::ftell(pdf);
    }
    if (pdf != nullptr) {
        std::fclose(pdf);
    }
    std::printf("%.3f %lld %ld\n", took.count(), bytes, usage.ru_maxrss);
    return 0;
}
