#include "platform/help/memory/MemoryHelpRuntime.h"

#include "platform/help/HelpTopics.h"

namespace nv::platform {
namespace {

class MemoryHelpRuntime final : public HelpRuntimeModule {
public:
    explicit MemoryHelpRuntime(MemoryHelpRuntimeLoader& loader) : loader_(loader) {}

    HtmlHelpProc GetProcAddress(UINT ordinal) override {
        ++loader_.entryLookups;
        if (!loader_.hasEntryPoint || ordinal != kHtmlHelpEntryOrdinal) {
            return {};
        }
        MemoryHelpRuntimeLoader* loader = &loader_;
        return [loader](HWND caller, const char* file, UINT command, DWORD_PTR data) {
            loader->calls.push_back({caller, file != nullptr ? file : "", command, data});
            if (command == HH_INITIALIZE && data != 0) {
                *reinterpret_cast<DWORD*>(data) = loader->cookie;
            }
            return loader->result;
        };
    }

private:
    MemoryHelpRuntimeLoader& loader_;
};

} // namespace

std::unique_ptr<HelpRuntimeModule> MemoryHelpRuntimeLoader::LoadLibraryA(const char* pathOrName) {
    const std::string name = pathOrName != nullptr ? pathOrName : "";
    loadAttempts.push_back(name);
    if (loadable.count(name) == 0) {
        return nullptr;
    }
    return std::make_unique<MemoryHelpRuntime>(*this);
}

} // namespace nv::platform
