// A print-settings dialog opened headless for scenario tests: printers on the memory spooler,
// capability files written into a scratch driver folder, settings in a memory registry, texts
// from an in-memory resource module, message boxes answered by a script. Tests act through the
// dialog's window as a user would and read back controls, members, stored values and boxes.
#pragma once

#include "app/PdfSendApp.h"
#include "dialog/PdfSendDlg.h"
#include "platform/registry/Registry.h"
#include "platform/registry/memory/MemoryRegistry.h"
#include "platform/spooler/memory/MemorySpooler.h"
#include "platform/ui/memory/ScriptedMessageBox.h"
#include "resources/ResourceIds.h"
#include "support/StringTableModule.h"
#include "support/TempDir.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace nv::test {

namespace ctl = res::ctl;

// "DirectPrint" bits, for composing models.
inline constexpr UINT kSupported = 0x1;
inline constexpr UINT kCollate = 0x2;
inline constexpr UINT kDuplex = 0x4;
inline constexpr UINT kRangeWithDuplex = 0x8;
inline constexpr UINT kNoPageRange = 0x10;
inline constexpr UINT kNoFitToPage = 0x20;
inline constexpr UINT kOpenEnd = 0x80;
inline constexpr UINT kPassword = 0x100;
inline constexpr UINT kRangeWithCopies = 0x200;
// Every option on, every combination allowed.
inline constexpr UINT kEverything =
    kSupported | kCollate | kDuplex | kRangeWithDuplex | kOpenEnd | kPassword | kRangeWithCopies;

inline constexpr const char* kTwoTrays = "AutoTray=0\nTray1=1\n";

// A capability file that makes DRIVER a model with DIRECTPRINT, the paper sources TRAYS
// (lines of the paper-source section) and EXTRA lines in its model section.
inline std::string CapabilityFile(const std::string& driver, UINT directPrint,
                                  const std::string& trays = kTwoTrays,
                                  const std::string& extra = "") {
    return "[Capability]\n" + driver +
           "=Model\n[Model]\nDirectPrint=" + std::to_string(directPrint) + "\nTrayCom=Trays\n" +
           extra + "[Trays]\n" + trays;
}

// Texts of the resource library, short and distinct so that tests name the boxes they expect.
inline std::map<UINT, std::string> ScenarioTexts() {
    std::map<UINT, std::string> texts = {
        {93, "Auto"},
        {94, "Tray 1"},
        {95, "Tray 2"},
        {96, "Tray 3"},
        {97, "Tray 4"},
        {98, "Tray 5"},
        {99, "MP tray"},
        {100, "Manual"},
        {1418, "Long edge"},
        {1419, "Short edge"},
        {1426, "About..."},
        {1500, "Warning"},
        {1501, "Error"},
        {1502, "copies"},
        {1504, "cannot open"},
        {1507, "version?"},
        {1508, "pages"},
        {1509, "password"},
        {1510, "no printer"},
        {1511, "no supported printer"},
        {1514, "bad type"},
        {1530, "holds UEL"},
        {1531, "refused"},
        {1532, "reset"},
        {1533, "timed out"},
        {1534, "scheduler"},
        {1535, "disk full"},
        {1536, "Cancel"},
        {1640, "%u left out of %s past %u KiB"},
        {1641, "over %u left out of %s past %u KiB"},
        {1580, "damaged %1"},
        {1583, "cut while sent"},
    };
    for (UINT id = 1406; id <= 1427; ++id) {
        texts.emplace(id, "caption " + std::to_string(id));
    }
    return texts;
}

// The string table above, with the three icons present.
class ScenarioResources : public StringTableModule {
public:
    ScenarioResources() : StringTableModule(ScenarioTexts()) {}
    std::vector<std::uint8_t> FindResourceData(UINT type, UINT id) const override {
        const bool icon = type == platform::kRtGroupIcon &&
                          (id == res::icon::kLongEdge || id == res::icon::kShortEdge ||
                           id == res::icon::kProgram);
        return icon ? std::vector<std::uint8_t>{1} : std::vector<std::uint8_t>{};
    }
};

class DialogScenario {
public:
    DialogScenario() {
        app.m_strFilePath = dir.Write("report.pdf", "%PDF-1.3\n%%EOF\n");
        app.m_strFileName = "report.pdf";
    }

    // Adds printer NAME whose driver DRIVER carries one capability file with TEXT. Returns the
    // file's path.
    std::string AddPrinter(const std::string& name, const std::string& driver,
                           const std::string& text) {
        const std::string file = dir.Write("nv" + std::to_string(++files_) + ".cap", text);
        AddPrinterWithFiles(name, driver, {file});
        return file;
    }
    // Adds printer NAME whose driver DRIVER lists FILES (written by the caller), with its
    // driver file in the scratch folder.
    void AddPrinterWithFiles(const std::string& name, const std::string& driver,
                             std::vector<CString> files) {
        spooler.AddPrinter({name, "socket://" + driver, driver},
                           {driver, DriverDir() + "driver.so", std::move(files)});
    }
    std::string DriverDir() const { return (dir.Path() / "").string(); }

    // Builds the dialog (a new one each time, on the same spooler, registry and texts) and
    // opens it.
    BOOL Open() {
        Build();
        return dlg->Open();
    }
    CPdfSendDlg& Build() {
        DialogServices services{&box, resources, &registry, &spooler, [this] { ++aboutRuns; }};
        services.programDirectory = programDirectory;
        dlg = std::make_unique<CPdfSendDlg>(&app, services);
        return *dlg;
    }
    platform::DialogSurface& W() { return *dlg->GetWindow(); }

    // The texts of the boxes shown since the last call.
    std::vector<std::string> TakeMessages() {
        std::vector<std::string> shown;
        for (std::size_t i = seen_; i < box.calls().size(); ++i) {
            shown.push_back(box.calls()[i].text);
        }
        seen_ = box.calls().size();
        return shown;
    }

    // Controls.
    bool Enabled(UINT id) { return W().IsWindowEnabled(static_cast<int>(id)) != FALSE; }
    bool Ticked(UINT id) { return W().IsDlgButtonChecked(static_cast<int>(id)) != 0; }
    CString Text(UINT id) { return W().GetDlgItemText(static_cast<int>(id)); }
    bool Click(UINT id) { return W().Click(static_cast<int>(id)); }
    bool Type(UINT id, std::string_view text) { return W().TypeText(static_cast<int>(id), text); }
    bool Pick(UINT id, int index) { return W().PickItem(static_cast<int>(id), index); }
    int Selection(UINT id) { return W().GetComboBox(static_cast<int>(id))->GetCurSel(); }
    // Ticks or unticks check box ID by clicking it when needed.
    void SetTicked(UINT id, bool ticked) {
        if (Ticked(id) != ticked) {
            Click(id);
        }
    }

    // Stored values.
    std::optional<CString> StoredText(const std::string& key, const char* name) {
        const std::optional<std::vector<std::uint8_t>> bytes = StoredBytes(key, name);
        if (!bytes) {
            return std::nullopt;
        }
        return CString(bytes->begin(), bytes->end());
    }
    std::optional<DWORD> StoredNumber(const std::string& key, const char* name) {
        const std::optional<std::vector<std::uint8_t>> bytes = StoredBytes(key, name);
        if (!bytes || bytes->size() != 4) {
            return std::nullopt;
        }
        return platform::DwordFromBytes(bytes->data());
    }
    std::optional<std::vector<std::uint8_t>> StoredBytes(const std::string& key, const char* name) {
        platform::RegistryKey open;
        if (registry.OpenKeyEx(platform::RegistryRoot::currentUser, KeyPath(key).c_str(),
                               platform::KEY_READ, open) != platform::ERROR_SUCCESS) {
            return std::nullopt;
        }
        DWORD size = 0;
        if (registry.QueryValueEx(open, name, nullptr, nullptr, &size) != platform::ERROR_SUCCESS) {
            return std::nullopt;
        }
        std::vector<std::uint8_t> bytes(size);
        registry.QueryValueEx(open, name, nullptr, bytes.data(), &size);
        return bytes;
    }
    bool KeyExists(const std::string& key) {
        platform::RegistryKey open;
        return registry.OpenKeyEx(platform::RegistryRoot::currentUser, KeyPath(key).c_str(),
                                  platform::KEY_READ, open) == platform::ERROR_SUCCESS;
    }
    void Store(const std::string& key, const char* name, DWORD type, std::string_view bytes) {
        platform::RegistryKey open;
        registry.CreateKeyEx(platform::RegistryRoot::currentUser, KeyPath(key).c_str(),
                             platform::KEY_ALL_ACCESS, open);
        registry.SetValueEx(open, name, type, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                            static_cast<DWORD>(bytes.size()));
    }
    // KEY is "Settings" or a printer key name (comma form), below the base key.
    static std::string KeyPath(const std::string& key) {
        return "Software\\VELMORA\\Velmora Quillet\\Norvane\\" + key;
    }

    TempDir dir;
    platform::MemorySpooler spooler;
    platform::MemoryRegistry registry;
    ScenarioResources texts;
    const platform::ResourceModule* resources = &texts;
    platform::ScriptedMessageBox box;
    CPdfSendApp app;
    // Where the dialog loads command libraries from ("": the test program's folder, which has
    // none).
    CString programDirectory;
    std::unique_ptr<CPdfSendDlg> dlg;
    int aboutRuns = 0;

private:
    int files_ = 0;
    std::size_t seen_ = 0;
};

using Messages = std::vector<std::string>;

} // namespace nv::test
