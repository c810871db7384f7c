// Firing alarms and the program's sounds: wave files through PlaySound, MIDI and CD audio
// through MCI command strings, commands through the shell or the archiver, and the one
// notification dialog. One object per run (owned by start-up, reached through App).
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <functional>
#include <memory>
#include <string>

#include "alarm/alarm_actions.h"
#include "settings/settings.h"

namespace hv {

class AlarmDialog;

// Runs an archiver command (hvLHA of hvplus.dll): owner window, the command after "lha ",
// the output file; ANSI texts, as the library takes them.
using ArchiveRunner = std::function<void(HWND owner, const std::string& command, const std::string& logFile)>;

class AlarmActions {
public:
    // `appPath` is the program's folder ending in a backslash; without `archiver` an
    // archiver command does nothing.
    AlarmActions(std::wstring appPath, ArchiveRunner archiver);
    ~AlarmActions();
    AlarmActions(const AlarmActions&) = delete;
    AlarmActions& operator=(const AlarmActions&) = delete;

    // The main window: owner of message boxes, the shell and the archiver's window.
    void SetMainWindow(HWND window) { mainWindow_ = window; }
    // The icon shown when the alarm's own cannot be extracted (not destroyed here).
    void SetProgramIcon(HICON icon) { programIcon_ = icon; }
    HICON ProgramIcon() const { return programIcon_; }

    // Starts the alarm's sound, then shows its message or runs its command. Trims
    // alarm.Message in place. Returns at once unless `modal` (an alarm tried from its
    // settings: then after its notice, a window of its own, is closed, `owner`, else the main
    // window, disabled meanwhile). A notice of the tick's offers snoozing for `snoozeMinutes`
    // (0: no snooze button).
    void FireAlarm(AlarmEntry& alarm, bool modal, HWND owner = nullptr, int snoozeMinutes = 0);
    // What the notice of the alarms that went off tells when it closes, after the sounds are
    // silenced: OK (or Esc, or the close box), or the snooze button.
    void SetNoticeHandlers(std::function<void()> onConfirm, std::function<void()> onSnooze) {
        onConfirm_ = std::move(onConfirm);
        onSnooze_ = std::move(onSnooze);
    }
    // Silences the wave sound and closes every MCI device.
    void StopAllSounds();
    // Shows the text of LastMciError under "MCIのエラー" (owned by `owner`, else the main
    // window), then closes every MCI device.
    void ReportMciError(HWND owner = nullptr);
    // The result of the most recent MCI command the program sent (0 = success).
    MCIERROR LastMciError() const { return lastMciError_; }
    // Sends one command string and stores its result; `reply` receives the returned text.
    MCIERROR SendMciCommand(const std::wstring& command, std::wstring* reply = nullptr);

    // The notification dialog in front while one is open (a tried alarm's, else the one of
    // the alarms that went off), else null (tests find it here).
    HWND DialogWindow() const;
    // The icon that notification dialog shows.
    HICON DialogIcon() const;

private:
    void StartSound(const AlarmEntry& alarm, HWND owner);
    void RunCommand(const MessageAction& action, HWND owner);
    void ShowNotification(const AlarmEntry& alarm, bool modal, HWND owner, int snoozeMinutes);
    const AlarmDialog* OpenDialog() const;

    std::wstring appPath_;
    ArchiveRunner archiver_;
    HWND mainWindow_ = nullptr;
    HICON programIcon_ = nullptr;
    MCIERROR lastMciError_ = 0;
    TrackPicker trackPicker_;
    std::function<void()> onConfirm_;
    std::function<void()> onSnooze_;
    std::unique_ptr<AlarmDialog> dialog_;      // the notice of the alarms that went off
    std::unique_ptr<AlarmDialog> testDialog_;  // the notice of an alarm tried from its settings
};

// The caption of a notification loaded at `time`, with the user's locale's weekday name.
std::wstring AlarmCaptionAt(const SYSTEMTIME& time);

}  // namespace hv
