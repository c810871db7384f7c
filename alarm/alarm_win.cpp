#include "alarm/alarm_win.h"

#include <mmsystem.h>
#include <shellapi.h>

#include <string>

#include "alarm/alarm_dialog_win.h"
#include "hvplus/program_identity.h"

namespace hv {

namespace {

// The library's exports take ANSI texts (the system code page).
std::string ToAnsi(const std::wstring& text) {
    if (text.empty()) return {};
    int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                   nullptr);
    std::string ansi(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), ansi.data(), size, nullptr,
                            nullptr);
    return ansi;
}

}  // namespace

AlarmActions::AlarmActions(std::wstring appPath, ArchiveRunner archiver)
    : appPath_(std::move(appPath)), archiver_(std::move(archiver)) {}

AlarmActions::~AlarmActions() = default;

void AlarmActions::FireAlarm(AlarmEntry& alarm, bool modal, HWND owner, int snoozeMinutes) {
    // Boxes about the alarm belong to the window that fired it (a settings dialog's test).
    StartSound(alarm, owner);
    alarm.Message = TrimSpaces(alarm.Message);
    MessageAction action = ClassifyMessage(alarm.Message);
    switch (action.kind) {
    case MessageAction::Kind::None:
        return;
    case MessageAction::Kind::Shell:
    case MessageAction::Kind::Archive:
        RunCommand(action, owner ? owner : mainWindow_);
        return;
    case MessageAction::Kind::Dialog:
        ShowNotification(alarm, modal, owner, modal ? 0 : snoozeMinutes);
        return;
    }
}

void AlarmActions::StartSound(const AlarmEntry& alarm, HWND owner) {
    SoundCommand sound = ChooseSound(alarm, trackPicker_);
    switch (sound.kind) {
    case SoundCommand::Kind::None:
        break;
    case SoundCommand::Kind::Wave:
        // Not examined: a wave file that cannot play is not reported.
        PlaySoundW(sound.waveFile.c_str(), nullptr, WaveFlags(sound.loop));
        break;
    case SoundCommand::Kind::Mci:
        if (sound.refusedWith != 0) {
            lastMciError_ = sound.refusedWith;
            ReportMciError(owner);
            break;
        }
        if (!sound.setup.empty()) SendMciCommand(sound.setup);
        if (SendMciCommand(sound.play) != 0) ReportMciError(owner);
        break;
    }
}

MCIERROR AlarmActions::SendMciCommand(const std::wstring& command, std::wstring* reply) {
    wchar_t buffer[16] = {};
    lastMciError_ = mciSendStringW(command.c_str(), reply ? buffer : nullptr, reply ? 16 : 0, nullptr);
    if (reply) *reply = buffer;
    return lastMciError_;
}

void AlarmActions::ReportMciError(HWND owner) {
    wchar_t text[256] = {};
    if (!mciGetErrorStringW(lastMciError_, text, 255) || text[0] == L'\0') {
        // An error code the system has no text for is still named.
        std::wstring fallback = L"MCIのエラー " + std::to_wstring(lastMciError_);
        lstrcpynW(text, fallback.c_str(), 256);
    }
    MessageBoxW(owner ? owner : mainWindow_, text, kMciErrorTitle, MB_ICONEXCLAMATION | MB_OK);
    SendMciCommand(L"close all");
}

void AlarmActions::StopAllSounds() {
    PlaySoundW(nullptr, nullptr, 0);
    SendMciCommand(L"close all");
}

void AlarmActions::RunCommand(const MessageAction& action, HWND owner) {
    if (action.kind == MessageAction::Kind::Archive) {
        // hvLHA reports its own failures; its result is not examined.
        if (archiver_) archiver_(owner, ToAnsi(action.text), ToAnsi(ArchiveLogPath(appPath_)));
        return;
    }
    // The whole text is one item for the shell: "notepad x.txt" is not split into a
    // program and its argument, and fails as such.
    HINSTANCE result = ShellExecuteW(owner, nullptr, action.text.c_str(), L"", L"", SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(result) <= 32) MessageBoxW(owner, kShellFailedText, kProgramTitle, MB_OK);
}

void AlarmActions::ShowNotification(const AlarmEntry& alarm, bool modal, HWND owner, int snoozeMinutes) {
    AlarmNotice notice{alarm.Message, nullptr, false, alarm.DialogPosition, snoozeMinutes};
    HICON icon = ExtractIconW(GetModuleHandleW(nullptr), alarm.IconFile.c_str(), alarm.IconIndex);
    // 0: no icon at that index; 1: not a file that holds icons.
    if (icon != nullptr && reinterpret_cast<INT_PTR>(icon) != 1) {
        notice.icon = icon;
        notice.iconOwned = true;
    } else {
        notice.icon = programIcon_ ? programIcon_ : LoadIconW(nullptr, IDI_APPLICATION);
    }
    // A modal notice (an alarm tried from its settings) comes in a window of its own: the
    // notice of a real alarm that is open and not yet read stays as it is.
    std::unique_ptr<AlarmDialog>& dialog = modal ? testDialog_ : dialog_;
    if (!dialog && modal) dialog = std::make_unique<AlarmDialog>([this] { StopAllSounds(); });
    if (!dialog) {
        dialog = std::make_unique<AlarmDialog>(
            [this] {
                StopAllSounds();
                if (onConfirm_) onConfirm_();
            },
            [this] {
                StopAllSounds();
                if (onSnooze_) onSnooze_();
            });
    }
    if (dialog->IsOpen() && !modal) {
        dialog->Update(std::move(notice));
        return;
    }
    dialog->Dismiss();
    dialog->Open(std::move(notice), modal, owner ? owner : mainWindow_);
}

const AlarmDialog* AlarmActions::OpenDialog() const {
    for (const auto* dialog : {&testDialog_, &dialog_})
        if (*dialog && (*dialog)->IsOpen()) return dialog->get();
    return nullptr;
}

HWND AlarmActions::DialogWindow() const { return OpenDialog() ? OpenDialog()->hwnd() : nullptr; }

HICON AlarmActions::DialogIcon() const { return OpenDialog() ? OpenDialog()->ShownIcon() : nullptr; }

std::wstring AlarmCaptionAt(const SYSTEMTIME& time) {
    wchar_t weekday[32] = {};
    if (GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &time, L"ddd", weekday, 32, nullptr) == 0) weekday[0] = L'\0';
    return AlarmCaption(time.wDay, weekday, time.wHour, time.wMinute);
}

}  // namespace hv
