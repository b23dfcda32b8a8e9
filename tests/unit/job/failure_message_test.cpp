// The message of every way a validated job can fail, in both editions of the resource library:
// what happened, then the printer, its address and what to check.
#include "job/JobFailure.h"
#include "platform/format/Placeholders.h"
#include "platform/modules/Modules.h"
#include "resources/ResourceIds.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace nv {
namespace {

namespace str = res::str;

TEST(FailureMessage, NamesThePrinterItsAddressAndWhatToCheckInBothLanguages) {
    const struct {
        JobFailure failure;
        UINT what;   // the text that says what happened
        UINT advice; // the text naming the printer and what to check
    } cases[] = {{JobFailure::refused, str::kPrinterRefused, str::kAdviceConnection},
                 {JobFailure::reset, str::kPrinterReset, str::kAdviceConnection},
                 {JobFailure::timedOut, str::kPrinterTimedOut, str::kAdviceConnection},
                 {JobFailure::hostUnknown, str::kHostUnknown, str::kAdviceConnection},
                 {JobFailure::scheduler, str::kSchedulerError, str::kAdviceScheduler},
                 {JobFailure::diskFull, str::kDiskFull, str::kAdviceDiskFull},
                 {JobFailure::notSent, str::kJobNotSent, str::kAdviceNotSent},
                 {JobFailure::other, str::kJobNotSent, str::kAdviceNotSent}};
    const char* dir = std::getenv("NV_PROGRAM_DIR");
    const std::string port = "socket://no-such-printer.invalid:9100";
    for (const char* library : {"Norvres.dll", "lang/en/Norvres.dll"}) {
        const auto module =
            platform::ResourceModule::Load(std::string(dir != nullptr ? dir : ".") + "/" + library);
        ASSERT_NE(module, nullptr) << library;
        const auto text = [&module](UINT id) { return module->LoadText(id); };
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(library) + " " + std::to_string(c.what));
            const std::string advice =
                platform::FillPlaceholders(text(c.advice), {"Office 3", port});
            ASSERT_FALSE(text(c.what).empty());
            EXPECT_EQ(FailureMessage(c.failure, "Office 3", port, text),
                      platform::FillPlaceholders(text(c.what), {"no-such-printer.invalid"}) + "\n" +
                          advice);
            EXPECT_NE(advice.find("Office 3"), std::string::npos);
            EXPECT_NE(advice.find(port), std::string::npos);
        }
        // The unknown host is named before the advice; a stopped job and a document at fault
        // need no advice.
        const std::string unknown = FailureMessage(JobFailure::hostUnknown, "P", port, text);
        EXPECT_LT(unknown.find("no-such-printer.invalid"), unknown.find('\n'));
        EXPECT_EQ(FailureMessage(JobFailure::cancelled, "P", port, text), "");
        EXPECT_EQ(FailureMessage(JobFailure::documentHoldsUel, "P", port, text),
                  text(str::kDocumentHoldsUel));
    }
}

TEST(FailureMessage, HostOfAddress) {
    const struct {
        const char* port;
        const char* host;
    } cases[] = {{"socket://printer.example:9100", "printer.example"},
                 {"ipp://user@host/printers/q", "host"},
                 {"ipp://[::1]:631/printers/q", "::1"},
                 {"file:///tmp/out.prn", ""},
                 {"socket://[unclosed", "unclosed"}};
    for (const auto& c : cases) {
        EXPECT_EQ(HostOfAddress(c.port), c.host) << c.port;
    }
}

} // namespace
} // namespace nv
