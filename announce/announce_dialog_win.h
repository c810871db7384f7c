// frmVocal, "発声方法": when the clock speaks the time, on which clock and how slowly,
// when it keeps silent (quiet hours, the user's focus), with a button that speaks the
// current time the way the dialog is set.
#pragma once

#include <windows.h>

#include "announce/announce_choices.h"
#include "settings/settings_host.h"
#include "util/form_win.h"
#include "util/time_box_win.h"

namespace hv {

class AnnounceDialog : public Form {
public:
    // Control ids (optVocalTiming(i) is kIdTiming + i, optVocalAmPm(i) kIdClock + i).
    static constexpr int kIdTimingFrame = 100;
    static constexpr int kIdTiming = 110;
    static constexpr int kIdHour = 120;  // txtVocalHH
    static constexpr int kIdHourSpin = 121;
    static constexpr int kIdColon = 122;
    static constexpr int kIdMinute = 123;  // txtVocalMM
    static constexpr int kIdMinuteSpin = 124;
    static constexpr int kIdClockFrame = 130;
    static constexpr int kIdClock = 131;
    static constexpr int kIdSpeedLabel = 140;
    static constexpr int kIdSpeed = 141;  // sldSpeed
    static constexpr int kIdPlay = 142;   // cmdPlay
    static constexpr int kIdHelp = 150;
    // Quiet hours: a check box, then from hour:minute "から" to hour:minute "まで".
    static constexpr int kIdQuietFrame = 160;
    static constexpr int kIdQuiet = 161;
    static constexpr int kIdQuietFromHour = 162;  // its spinner is the next id, as for every time box
    static constexpr int kIdQuietFromMinute = 165;
    static constexpr int kIdQuietToHour = 168;
    static constexpr int kIdQuietToMinute = 171;
    static constexpr int kIdQuietOnFocus = 174;
    // The key that speaks the time from any program.
    static constexpr int kIdHotkeyLabel = 180;
    static constexpr int kIdHotkey = 181;
    static constexpr int kIdHotkeyClear = 182;
    static constexpr int kHelpContext = 3;

    explicit AnnounceDialog(SettingsHost& host);

    // Modal to `owner`; true when OK stored the choices.
    bool Run(HWND owner) { return RunModal(owner) == IDOK; }

protected:
    void OnLoad() override;
    void OnClick(int id) override;
    void OnValueChanged(int id) override;
    bool OnValidate(int id) override;
    bool OnOk() override;

private:
    void SelectTiming(int timing);
    void EnableQuietTimes();
    void PlayTest();

    SettingsHost& host_;
    AnnounceChoices working_;
    TimeBoxes times_;
};

}  // namespace hv
