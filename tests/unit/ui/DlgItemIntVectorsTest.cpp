// Every row of the observed GetDlgItemInt / SetDlgItemInt vectors, run through an edit of the
// surface exactly as the dialog reads and writes its number fields.
#include "platform/ui/DialogSurface.h"
#include "support/VectorTable.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace nv::platform {
namespace {

constexpr int kEdit = 1008;

TEST(DlgItemIntVectors, EveryRowMatchesTheObservedPlatform) {
    const std::vector<test::VectorRow> rows = test::LoadVectorTable("getdlgitemint_vectors.tsv");
    ASSERT_EQ(rows.size(), 68u);
    DialogSurface surface;
    surface.AddEdit(kEdit, ES_NUMBER);
    for (const test::VectorRow& row : rows) {
        const std::string& id = row.Raw("case_id");
        const BOOL bSigned = row.Raw("bSigned") == "TRUE" ? TRUE : FALSE;
        if (row.Raw("function") == "GetDlgItemInt") {
            surface.SetDlgItemTextA(kEdit, row.Text("input").value_or(""));
            BOOL translated = 77;
            const UINT value = surface.GetDlgItemInt(kEdit, &translated, bSigned);
            EXPECT_EQ(value, static_cast<UINT>(row.Number("observed_return_as_uint"))) << id;
            EXPECT_EQ(static_cast<std::int32_t>(value), row.Number("observed_return_as_int")) << id;
            EXPECT_EQ(translated, row.Number("observed_lpTranslated")) << id;
        } else {
            // "-5(0xFFFFFFFB)": the value the program passed is the hexadecimal one.
            const std::string& input = row.Raw("input");
            const auto value =
                static_cast<UINT>(std::stoul(input.substr(input.find("(0x") + 3), nullptr, 16));
            surface.SetDlgItemInt(kEdit, value, bSigned);
            EXPECT_EQ(surface.GetDlgItemText(kEdit), row.Raw("observed_text")) << id;
        }
    }
}

TEST(DlgItemInt, MissingControlAndNullFlag) {
    DialogSurface surface;
    BOOL translated = TRUE;
    EXPECT_EQ(surface.GetDlgItemInt(5, &translated, TRUE), 0u);
    EXPECT_EQ(translated, FALSE);
    surface.AddEdit(5);
    surface.SetDlgItemTextA(5, "12");
    EXPECT_EQ(surface.GetDlgItemInt(5, nullptr, FALSE), 12u);
    // Unsigned reading of -1 gives the overflow value, which the reader refuses.
    surface.SetDlgItemTextA(5, "-1");
    EXPECT_EQ(surface.GetDlgItemInt(5, &translated, FALSE), 0u);
    EXPECT_EQ(translated, FALSE);
}

} // namespace
} // namespace nv::platform
