// A store held in memory, with the same semantics as the platform's: for tests of the code
// that keeps its settings there. Failures can be switched on to test the callers' handling.
#pragma once

#include "platform/registry/HiveRegistry.h"

namespace nv::platform {

class MemoryRegistry final : public HiveRegistry {
public:
    LONG CreateKeyEx(RegistryRoot root, const char* subKey, DWORD access, RegistryKey& key,
                     DWORD* disposition = nullptr) override;
    LONG OpenKeyEx(RegistryRoot root, const char* subKey, DWORD access, RegistryKey& key) override;

    // While non-zero, every open or create of a key fails with CODE.
    void FailOpensWith(LONG code) { openError_ = code; }
    // While non-zero, every change (creating a key, setting or deleting a value) fails with CODE.
    void FailWritesWith(LONG code) { writeError_ = code; }
    // The whole content, for inspection.
    const Hive& Content() const { return hive_; }
    // How many changes reached the content so far (each Update that changed something).
    int ChangesWritten() const { return changesWritten_; }

protected:
    const Hive& Load() override { return hive_; }
    LONG Update(const std::function<bool(Hive&)>& change) override;

private:
    Hive hive_;
    LONG openError_ = 0;
    LONG writeError_ = 0;
    int changesWritten_ = 0;
};

} // namespace nv::platform
