// Drives a dialog surface with arbitrary program calls and user input (texts a user could
// type or paste, any indices and ranges), with a notification sink that writes back into the
// controls, and checks the invariants the dialog logic relies on: numbers read as an
// independent reader reads them, combo results stay in range, no text read writes past its
// buffer, spin positions stay inside their range.
#include "../FuzzInput.h"
#include "platform/ui/DialogSurface.h"
#include "platform/ui/DlgItemInt.h"
#include "platform/ui/WindowText.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>

using namespace nv;
using namespace nv::platform;

namespace {

using Input = nv::fuzz::FuzzInput;

void check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

// GetDlgItemInt as a C library reader would do it on the first 29 bytes.
void checkNumber(const std::string& windowText, BOOL bSigned, UINT value, BOOL translated) {
    std::string text = windowText.substr(0, kDlgItemIntChars);
    char* end = nullptr;
    errno = 0;
    const long long r = std::strtoll(text.c_str(), &end, 10);
    bool ok = end != text.c_str() && errno != ERANGE;
    UINT expected = static_cast<UINT>(r);
    if (bSigned) {
        ok = ok && r > INT32_MIN && r <= INT32_MAX;
    } else {
        ok = ok && r >= -static_cast<long long>(UINT32_MAX) && r <= UINT32_MAX &&
             expected != UINT32_MAX;
    }
    check(translated == (ok ? TRUE : FALSE));
    check(value == (ok ? expected : 0u));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in{data, size};
    DialogSurface surface;
    const int edits[] = {10, 11, 12};
    surface.AddEdit(10, ES_NUMBER);
    surface.AddEdit(11);
    surface.AddEdit(12, ES_PASSWORD);
    ComboBox& combo = surface.AddComboBox(20);
    UpDown& spin = surface.AddUpDown(30, 10);
    surface.AddUpDown(31, 11, UDS_SETBUDDYINT);
    surface.AddCheckBox(40);
    surface.AddPushButton(41);
    surface.AddLabel(50);
    const int anyIds[] = {10, 11, 12, 20, 30, 31, 40, 41, 50, 99};

    // Handlers that write back, as the dialog's change checks and interlocks do.
    const std::uint8_t mode = in.byte();
    surface.SetNotifySink([&](int id, int code) {
        if ((mode & 1) && id == 10 && code == EN_CHANGE) {
            surface.SetDlgItemInt(11, surface.GetDlgItemInt(10, nullptr, TRUE), TRUE);
        }
        if ((mode & 2) && id == 11 && code == EN_CHANGE) {
            spin.SetPos32(static_cast<int>(surface.GetDlgItemInt(11, nullptr, FALSE)));
        }
        if ((mode & 4) && id == 20 && code == CBN_SELCHANGE) {
            combo.DeleteString(0);
        }
    });

    int steps = 0;
    while (!in.done() && ++steps < 4096) {
        const int id = anyIds[in.byte() % std::size(anyIds)];
        switch (in.byte() % 16) {
        case 0:
            surface.SetDlgItemTextA(id, in.text());
            break;
        case 1:
            surface.TypeText(id, in.text());
            break;
        case 2: {
            const BOOL bSigned = in.byte() & 1;
            BOOL translated = 2;
            const UINT value = surface.GetDlgItemInt(id, &translated, bSigned);
            checkNumber(surface.GetDlgItemText(id), bSigned, value, translated);
            break;
        }
        case 3:
            combo.InsertString(static_cast<int>(in.byte()) - 128, in.text());
            break;
        case 4:
            combo.DeleteString(static_cast<int>(in.byte()) - 128);
            break;
        case 5:
            combo.SetCurSel(static_cast<int>(in.byte()) - 128);
            break;
        case 6: {
            const std::string wanted = in.text();
            const int found = combo.FindStringExact(static_cast<int>(in.byte()) - 128, wanted);
            check(found >= CB_ERR && found < combo.GetCount());
            CString item;
            check(found == CB_ERR || (combo.GetLBText(found, item) >= 0 &&
                                      EqualsIgnoringCase(item, WindowTextOf(wanted))));
            break;
        }
        case 7:
            combo.SelectString(static_cast<int>(in.byte()) - 128, in.text());
            break;
        case 8: {
            const int lower = in.int32();
            spin.SetRange32(lower, in.int32());
            break;
        }
        case 9:
            if (in.byte() & 1) {
                spin.SetPos32(in.int32());
            } else {
                spin.SetPos(in.int32());
            }
            break;
        case 10: {
            int lower = 0;
            int upper = 0;
            spin.GetRange32(lower, upper);
            const int pos = spin.GetPos32();
            check(pos >= std::min(lower, upper) && pos <= std::max(lower, upper));
            break;
        }
        case 11:
            surface.PickItem(20, static_cast<int>(in.byte()) - 128);
            break;
        case 12:
            surface.Click(id);
            break;
        case 13:
            surface.EnableWindow(id, in.byte() & 1);
            break;
        case 14: {
            char buffer[40];
            std::memset(buffer, 0x5A, sizeof buffer);
            const int max = in.byte() % 33;
            const UINT copied = surface.GetDlgItemTextA(id, buffer, max);
            check(max == 0 || (copied < static_cast<UINT>(max) && buffer[copied] == '\0'));
            for (std::size_t i = static_cast<std::size_t>(max); i < sizeof buffer; ++i) {
                check(buffer[i] == 0x5A);
            }
            break;
        }
        default:
            surface.StepSpin(30 + (in.byte() & 1), in.byte() & 1);
            break;
        }
        const int sel = combo.GetCurSel();
        check(sel >= CB_ERR && sel < combo.GetCount());
        check(combo.GetTopIndex() >= 0 && combo.GetTopIndex() <= combo.GetCount());
        for (int edit : edits) {
            check(surface.GetDlgItemText(edit).find('\0') == std::string::npos);
        }
    }
    return 0;
}
