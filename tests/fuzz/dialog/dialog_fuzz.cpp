// Drives the print-settings dialog as an erratic user would: two printers with arbitrary
// capability flags, printer types and paper sources, arbitrary stored settings, then any
// sequence of clicks, picks, typing, spin steps and system commands, with message boxes that
// run further input while they are open (the nested loop of a real box). Checks that nothing
// crashes and that the invariants the dialog keeps hold after every step.
#include "../FuzzInput.h"
#include "app/PdfSendApp.h"
#include "dialog/PdfSendDlg.h"
#include "platform/registry/memory/MemoryRegistry.h"
#include "platform/spooler/memory/MemorySpooler.h"
#include "resources/ResourceIds.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>

using namespace nv;
namespace ctl = nv::res::ctl;

namespace {

using Input = nv::fuzz::FuzzInput;

void check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

class Texts : public platform::ResourceModule {
public:
    int LoadStringA(UINT id, char* buffer, int bufferMax) const override {
        if (bufferMax <= 0) {
            return -1;
        }
        const std::string text =
            id >= 93 && id <= 100 ? "Tray " + std::to_string(id) : "text " + std::to_string(id);
        const std::size_t n = std::min(text.size(), static_cast<std::size_t>(bufferMax - 1));
        std::memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
        return static_cast<int>(n);
    }
    std::vector<std::uint8_t> FindResourceData(UINT type, UINT) const override {
        return type == platform::kRtGroupIcon ? std::vector<std::uint8_t>{1}
                                              : std::vector<std::uint8_t>{};
    }
};

// One scratch folder per process, removed when it ends.
struct ScratchFolder {
    std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("nv-fuzz-dialog-" + std::to_string(static_cast<long>(::getpid())));
    ScratchFolder() { std::filesystem::create_directories(path); }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

const std::filesystem::path& scratch() {
    static const ScratchFolder folder;
    return folder.path;
}

std::string writeCapability(const std::string& name, Input& in) {
    const unsigned directPrint = (in.byte() | (in.byte() << 8)) | 1u;
    const unsigned trays = in.byte();
    const unsigned type = in.byte() % 6;
    std::string text =
        "[Capability]\nQ=Model\n[Model]\nDirectPrint=" + std::to_string(directPrint) +
        "\nDPTray=" + std::to_string(type) + "\nTrayCom=T\n[T]\n";
    const char* keys[] = {"AutoTray",           "Tray1",      "Tray2", "Tray3", "Tray4", "Tray5",
                          "Multi Purpose Tray", "Manual Feed"};
    for (unsigned i = 0; i < 8; ++i) {
        if ((trays >> i) & 1u) {
            text += std::string(keys[i]) + "=" + std::to_string(i) + "\n";
        }
    }
    const std::string path = (scratch() / name).string();
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    return path;
}

class Session;

// Message boxes that, while open, let the user go on acting (up to a nesting limit).
class NestedBox : public platform::IMessageBox {
public:
    explicit NestedBox(Session& session) : session_(session) {}
    int Show(const CString&, const CString&, UINT flags, bool) override;

private:
    Session& session_;
    int depth_ = 0;
};

class Session {
public:
    Session(Input& in) : in_(in), box_(*this) {}

    void Run() {
        registry_ = std::make_unique<platform::MemoryRegistry>();
        storeSettings();
        for (const char* name : {"A", "B"}) {
            const std::string cap = writeCapability(std::string("nv") + name + ".cap", in_);
            spooler_.AddPrinter({name, "port", "Q"}, {"Q", (scratch() / "drv").string(), {cap}});
        }
        app_.m_strFilePath = (scratch() / "doc.pdf").string();
        std::ofstream(app_.m_strFilePath, std::ios::binary | std::ios::trunc) << "%PDF-1.3\n";
        app_.m_strFileName = "doc.pdf";
        DialogServices services{&box_, &texts_, registry_.get(), &spooler_, [] {}};
        dlg_ = std::make_unique<CPdfSendDlg>(&app_, services);
        if (!dlg_->Open()) {
            return;
        }
        while (!in_.done() && !dlg_->GetWindow()->IsEnded()) {
            nested_ = false;
            Act();
            // Input given while a box is open can leave a handler to finish on another
            // printer's state (owned boxes keep a real user from doing that): such steps are
            // only checked for memory safety.
            if (!nested_) {
                Check();
            }
        }
    }

    void Act() {
        platform::DialogSurface& w = *dlg_->GetWindow();
        static const UINT clickable[] = {
            ctl::kDuplexCheck,         ctl::kCollateCheck,   ctl::kFitToPageCheck,
            ctl::kPageRangeCheck,      ctl::kPasswordCheck,  ctl::kSavePasswordButton,
            ctl::kClearPasswordButton, ctl::kDefaultsButton, ctl::kSaveSettingsButton,
            ctl::kPrintButton,         ctl::kAboutButton,    ctl::kCloseButton};
        static const UINT edits[] = {ctl::kCopiesEdit, ctl::kStartPageEdit, ctl::kEndPageEdit,
                                     ctl::kPasswordEdit};
        static const UINT combos[] = {ctl::kPrinterList, ctl::kPaperSourceList, ctl::kBindingList};
        static const UINT spins[] = {ctl::kCopiesSpin, ctl::kStartPageSpin, ctl::kEndPageSpin};
        const std::uint8_t action = in_.byte();
        const std::uint8_t which = in_.byte();
        switch (action % 6) {
        case 0:
        case 1: {
            const UINT id = clickable[which % std::size(clickable)];
            // Closing ends the session early; let it happen rarely.
            if (id != ctl::kCloseButton || which > 250) {
                w.Click(static_cast<int>(id));
            }
            break;
        }
        case 2:
            w.TypeText(static_cast<int>(edits[which % std::size(edits)]), in_.text(24));
            break;
        case 3:
            // The program's own kind of write: any text, signs and letters included.
            w.SetDlgItemTextA(static_cast<int>(edits[which % std::size(edits)]), in_.text(24));
            break;
        case 4:
            w.PickItem(static_cast<int>(combos[which % std::size(combos)]),
                       static_cast<int>(in_.byte() % 4) - 1);
            break;
        default:
            if (which % 8 == 0) {
                w.ChooseSystemCommand(16u + (in_.byte() % 20));
            } else {
                w.StepSpin(static_cast<int>(spins[which % std::size(spins)]), (which & 0x80) != 0);
            }
            break;
        }
    }

    int Answer(UINT flags) {
        return (flags & platform::MB_YESNO) != 0 && (in_.byte() & 1) ? platform::IDYES
                                                                     : platform::IDOK;
    }

    void Check() {
        const CPdfSendDlg& d = *dlg_;
        platform::DialogSurface& w = *const_cast<CPdfSendDlg&>(d).GetWindow();
        check(w.GetComboBox(static_cast<int>(ctl::kBindingList))->GetCount() == 2);
        if (!d.m_bCanPageRange) {
            check(w.IsDlgButtonChecked(static_cast<int>(ctl::kPageRangeCheck)) == 0);
            check(!w.IsWindowEnabled(static_cast<int>(ctl::kPageRangeCheck)));
        }
        if (!d.m_bCanPassword) {
            check(!w.IsWindowEnabled(static_cast<int>(ctl::kPasswordEdit)));
        }
        check(d.m_bCopiesReady == TRUE && d.m_bPagesReady == TRUE);
    }

    bool InputLeft() const { return !in_.done(); }
    void MarkNested() { nested_ = true; }

private:
    void storeSettings() {
        const std::uint8_t mask = in_.byte();
        platform::RegistryKey key;
        const std::string base = "Software\\VELMORA\\Velmora Quillet\\Norvane\\";
        const char* names[] = {"PaperFeed", "Duplex", "Binding", "FitToPage", "Qty", "SetPage"};
        registry_->CreateKeyEx(platform::RegistryRoot::currentUser, (base + "A").c_str(),
                               platform::KEY_ALL_ACCESS, key);
        for (unsigned i = 0; i < 6; ++i) {
            if ((mask >> i) & 1u) {
                const std::string bytes = in_.text(24);
                registry_->SetValueEx(key, names[i], in_.byte() % 5,
                                      reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                      static_cast<DWORD>(bytes.size()));
            }
        }
        registry_->CreateKeyEx(platform::RegistryRoot::currentUser, (base + "Settings").c_str(),
                               platform::KEY_ALL_ACCESS, key);
        const char* settings[] = {"Printer", "Password", "Password Flag"};
        for (unsigned i = 0; i < 3; ++i) {
            if ((mask >> (6 + i % 2)) & 1u) {
                const std::string bytes = in_.text(24);
                registry_->SetValueEx(key, settings[i], in_.byte() % 5,
                                      reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                      static_cast<DWORD>(bytes.size()));
            }
        }
    }

    Input& in_;
    NestedBox box_;
    Texts texts_;
    platform::MemorySpooler spooler_;
    std::unique_ptr<platform::MemoryRegistry> registry_;
    CPdfSendApp app_;
    std::unique_ptr<CPdfSendDlg> dlg_;
    bool nested_ = false;
};

int NestedBox::Show(const CString&, const CString&, UINT flags, bool) {
    const int answer = session_.Answer(flags);
    if (depth_ < 4 && session_.InputLeft()) {
        ++depth_;
        session_.MarkNested();
        session_.Act();
        --depth_;
    }
    return answer;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in{data, size};
    Session session(in);
    session.Run();
    return 0;
}
