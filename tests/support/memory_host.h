// A settings host for dialog tests: the settings and an in-memory store in place of the
// program, a record of what the dialog asked to have spoken.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "settings/memory_store.h"
#include "settings/settings_host.h"
#include "settings/settings_io.h"

namespace hvtest {

class MemoryHost : public hv::SettingsHost {
public:
    hv::Settings& settings() override { return settings_; }
    hv::SettingsStore* store() override { return &store_; }
    const hv::SystemInfo& system() const override { return system_; }
    std::array<std::uint32_t, 16>& customColors() override { return colors_; }
    void RedrawFace() override {}
    bool SpeakTime(const std::string& time, bool clock24, int speed) override {
        spoken.push_back({time, clock24, speed});
        return speaks;
    }
    bool SetTalkHotkey(std::uint16_t hotkey) override {
        hotkeys.push_back(hotkey);
        return hotkey != refusedHotkey;
    }

    // A value of the main key as stored now.
    std::optional<std::uint32_t> Stored(const wchar_t* name) const { return store_.Dword(L"", name); }
    // The settings as stored now, as the next start of the program would load them.
    hv::Settings Reloaded() {
        hv::Settings loaded;
        hv::LoadSettings(store_, loaded, true);
        return loaded;
    }
    void Load() { settings_ = Reloaded(); }

    struct Spoken {
        std::string time;
        bool clock24;
        int speed;
    };
    std::vector<Spoken> spoken;
    bool speaks = true;  // what SpeakTime answers
    std::vector<std::uint16_t> hotkeys;  // each SetTalkHotkey, in turn
    int refusedHotkey = -1;              // the one it refuses
    hv::Settings settings_;
    hv::MemorySettingsStore store_;
    hv::SystemInfo system_{hv::kAppVersion, true, 10, L"C:\\Horavox\\", L"C:\\windows\\system32\\"};

private:
    std::array<std::uint32_t, 16> colors_{};
};

}  // namespace hvtest
