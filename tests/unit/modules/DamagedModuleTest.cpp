// Damaged copies of the built modules: truncated, with header fields and resource entries
// pointing outside the file or back at themselves. The reader must refuse them or read what is
// still intact, never read outside the file or loop (random damage is the fuzz target's job).
#include "fuzz/pe_module/ExerciseModule.h"
#include "platform/modules/Modules.h"
#include "platform/modules/PeImage.h"
#include "unit/modules/ModuleFiles.h"

#include <functional>
#include <gtest/gtest.h>

namespace nv {
namespace {

using platform::ResourceModule;
using Image = std::vector<std::uint8_t>;

void Put32(Image& image, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        image.at(at + i) = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

void Put16(Image& image, std::size_t at, std::uint16_t value) {
    image.at(at) = static_cast<std::uint8_t>(value);
    image.at(at + 1) = static_cast<std::uint8_t>(value >> 8);
}

std::uint32_t Get32(const Image& image, std::size_t at) {
    return platform::pe::ReadU32(image, at).value();
}

// Offsets of the structures a damage aims at, computed from an intact module.
struct Layout {
    std::size_t pe;        // "PE\0\0"
    std::size_t optional;  // optional header
    std::size_t sections;  // section table
    std::size_t rsrcEntry; // the section table entry holding the resources
    std::size_t root;      // resource directory root in the file
};

Layout Locate(const Image& image) {
    Layout layout{};
    layout.pe = Get32(image, 0x3C);
    layout.optional = layout.pe + 24;
    layout.sections = layout.optional + platform::pe::ReadU16(image, layout.pe + 20).value();
    const std::uint32_t rva = Get32(image, layout.optional + 112 + 16);
    for (std::size_t at = layout.sections;; at += 40) {
        const std::uint32_t va = Get32(image, at + 12);
        if (rva >= va && rva < va + Get32(image, at + 16)) {
            layout.rsrcEntry = at;
            layout.root = Get32(image, at + 20) + (rva - va);
            return layout;
        }
    }
}

class DamagedModule : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        intact_ = test::ReadBytes(test::ProgramFile(GetParam()));
        ASSERT_GT(intact_.size(), 1024u);
        layout_ = Locate(intact_);
    }
    Image intact_;
    Layout layout_{};
};

TEST_P(DamagedModule, TruncatedCopies) {
    const std::size_t step = std::max<std::size_t>(1, intact_.size() / 400);
    // A module cut anywhere inside its resource section is refused whole, as the system's
    // loader refuses it, rather than read with blank texts.
    const std::size_t resourcesEnd =
        Get32(intact_, layout_.rsrcEntry + 20) + Get32(intact_, layout_.rsrcEntry + 16);
    for (std::size_t length = 0; length < intact_.size(); length += step) {
        Image cut(intact_.begin(), intact_.begin() + static_cast<long>(length));
        test::ExerciseModule(cut);
        if (length < resourcesEnd) {
            EXPECT_EQ(ResourceModule::LoadFromMemory(cut), nullptr) << "length " << length;
        }
    }
}

struct Damage {
    const char* what;
    std::function<void(Image&, const Layout&)> apply;
    bool refused; // the whole module must be refused
};

const Damage kDamages[] = {
    {"no MZ", [](Image& m, const Layout&) { m[0] = 'X'; }, true},
    {"PE offset beyond the file", [](Image& m, const Layout&) { Put32(m, 0x3C, 0xFFFFFFF0u); },
     true},
    {"unknown optional header", [](Image& m, const Layout& l) { Put16(m, l.optional, 0x999); },
     true},
    {"too many sections", [](Image& m, const Layout& l) { Put16(m, l.pe + 6, 0xFFFF); }, true},
    {"no resource directory", [](Image& m, const Layout& l) { Put32(m, l.optional + 108, 2); },
     true},
    {"resources outside every section",
     [](Image& m, const Layout& l) { Put32(m, l.optional + 128, 0x7FFFFFF0u); }, true},
    {"section data beyond the file",
     [](Image& m, const Layout& l) { Put32(m, l.rsrcEntry + 20, 0xFFFFFF00u); }, true},
    {"huge section size",
     [](Image& m, const Layout& l) { Put32(m, l.rsrcEntry + 16, 0xFFFFFFFFu); }, true},
    {"huge entry counts",
     [](Image& m, const Layout& l) {
         Put16(m, l.root + 12, 0xFFFF);
         Put16(m, l.root + 14, 0xFFFF);
     },
     false},
    {"type directory pointing at the root",
     [](Image& m, const Layout& l) {
         for (std::size_t e = 0; e < 8; ++e) {
             Put32(m, l.root + 16 + 8 * e + 4, 0x80000000u);
         }
     },
     false},
    {"every data entry huge",
     [](Image& m, const Layout& l) {
         // Data entries are 16-byte records (RVA, size, code page, 0) after the directories.
         for (std::size_t at = l.root; at + 16 <= m.size(); at += 4) {
             if (Get32(m, at + 12) == 0 && Get32(m, at) > 0x1000 && Get32(m, at) < 0x100000 &&
                 Get32(m, at + 4) > 0 && Get32(m, at + 4) < 0x10000) {
                 Put32(m, at + 4, 0xFFFFFFF0u);
             }
         }
     },
     true},
};

TEST_P(DamagedModule, DamagedFields) {
    for (const auto& damage : kDamages) {
        Image copy = intact_;
        damage.apply(copy, layout_);
        test::ExerciseModule(copy);
        if (damage.refused) {
            EXPECT_EQ(ResourceModule::LoadFromMemory(copy), nullptr) << damage.what;
        }
    }
}

TEST_P(DamagedModule, StringBlockClaimingMoreThanItHolds) {
    auto intact = ResourceModule::LoadFromMemory(intact_);
    ASSERT_NE(intact, nullptr);
    const auto ids = intact->StringIds();
    if (ids.empty()) {
        GTEST_SKIP() << "no strings";
    }
    // Find the first block's data in the file and make its first string claim 0xFFFF units.
    const auto block = intact->FindResourceData(platform::kRtString, ids.front() / 16 + 1);
    auto at = std::search(intact_.begin(), intact_.end(), block.begin(), block.end());
    ASSERT_NE(at, intact_.end());
    Image copy = intact_;
    const std::size_t offset = static_cast<std::size_t>(at - intact_.begin());
    Put16(copy, offset, 0xFFFF);
    auto damaged = ResourceModule::LoadFromMemory(copy);
    ASSERT_NE(damaged, nullptr);
    char buffer[64] = "x";
    EXPECT_EQ(damaged->LoadStringA(ids.front() / 16 * 16, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");
}

std::string ModuleName(const testing::TestParamInfo<const char*>& param) {
    std::string name;
    for (const char* c = param.param; *c != '\0'; ++c) {
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Modules, DamagedModule, testing::ValuesIn(test::kBuiltModules),
                         ModuleName);

} // namespace
} // namespace nv
