// A surface with one control of each kind and a log of every notification it sends.
#pragma once

#include "platform/ui/DialogSurface.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace nv::platform::test {

enum : int {
    kLabel = 1000,
    kCombo = 1001,
    kEdit = 1008,
    kSpin = 1009,
    kCheck = 1010,
    kNumberEdit = 1014,
    kPageSpin = 1018,
    kIcon = 1022,
    kPassword = 1027,
    kButton = 1029,
};

using Notification = std::pair<int, int>;

class SurfaceTest : public ::testing::Test {
protected:
    SurfaceTest() {
        surface.AddLabel(kLabel, "Printer");
        surface.AddComboBox(kCombo);
        surface.AddEdit(kEdit, ES_NUMBER);
        surface.AddUpDown(kSpin, kEdit);
        surface.AddCheckBox(kCheck, "Duplex");
        surface.AddEdit(kNumberEdit, ES_NUMBER);
        surface.AddUpDown(kPageSpin, kNumberEdit);
        surface.AddStaticIcon(kIcon);
        surface.AddEdit(kPassword, ES_PASSWORD);
        surface.AddPushButton(kButton, "Print");
        surface.SetNotifySink([this](int id, int code) {
            log.emplace_back(id, code);
            if (onNotify) {
                onNotify(id, code);
            }
        });
    }

    std::vector<Notification> take() { return std::exchange(log, {}); }

    DialogSurface surface;
    std::vector<Notification> log;
    std::function<void(int, int)> onNotify;
};

inline std::vector<Notification> textWrite(int id) {
    return {{id, EN_UPDATE}, {id, EN_CHANGE}};
}

} // namespace nv::platform::test
