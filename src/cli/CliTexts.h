// The command-line program's own texts, read from the resource library in its language.
#pragma once

#include "platform/format/Placeholders.h"
#include "platform/modules/Modules.h"
#include "resources/ResourceIds.h"

#include <initializer_list>
#include <string>
#include <string_view>

namespace nv::cli {

class CliTexts {
public:
    // Texts of MODULE (which must outlive this object); without one every text is "".
    explicit CliTexts(const platform::ResourceModule* module = nullptr) : module_(module) {}

    // String ID of the library with its places %1.. filled from ARGS.
    std::string operator()(UINT id, std::initializer_list<std::string_view> args = {}) const {
        return module_ != nullptr ? platform::FillPlaceholders(module_->LoadText(id), args)
                                  : std::string();
    }

private:
    const platform::ResourceModule* module_;
};

} // namespace nv::cli
