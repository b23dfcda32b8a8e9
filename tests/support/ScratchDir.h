// A temporary folder removed with everything in it when the test ends, and an environment
// variable set for the duration of a scope.
#pragma once

#include "support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace nv::test {

using ScratchDir = TempDir;

class ScopedEnv {
public:
    // Sets NAME to VALUE, or unsets it when VALUE is none; the old state comes back at the end.
    ScopedEnv(std::string name, const std::optional<std::string>& value) : name_(std::move(name)) {
        if (const char* old = std::getenv(name_.c_str())) {
            old_ = old;
        }
        Set(name_, value);
    }
    ~ScopedEnv() { Set(name_, old_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    static void Set(const std::string& name, const std::optional<std::string>& value) {
#ifdef _WIN32
        // An empty value removes the variable on Windows.
        ::_putenv_s(name.c_str(), value ? value->c_str() : "");
#else
        if (value) {
            ::setenv(name.c_str(), value->c_str(), 1);
        } else {
            ::unsetenv(name.c_str());
        }
#endif
    }

    std::string name_;
    std::optional<std::string> old_;
};

} // namespace nv::test
