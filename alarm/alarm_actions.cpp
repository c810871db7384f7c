#include "alarm/alarm_actions.h"

#include <chrono>

namespace hv {

std::wstring TrimSpaces(std::wstring_view text) {
    std::size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring_view::npos) return {};
    std::size_t last = text.find_last_not_of(L' ');
    return std::wstring(text.substr(first, last - first + 1));
}

TrackPicker::TrackPicker() {
    std::random_device device;
    auto ticks = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                 static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    // random_device may be deterministic on some runtimes; the clocks make each run differ.
    std::seed_seq seed{device(), static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32)};
    engine_.seed(seed);
}

int TrackPicker::Pick(int count) {
    if (count <= 1) return 1;
    return std::uniform_int_distribution<int>(1, count)(engine_);
}

SoundCommand ChooseSound(const AlarmEntry& alarm, TrackPicker& picker) {
    SoundCommand command;
    switch (alarm.SoundKind) {
    case SoundKind::Wave:
        if (TrimSpaces(alarm.WavFile).empty()) break;
        command.kind = SoundCommand::Kind::Wave;
        command.waveFile = alarm.WavFile;
        command.loop = alarm.Loop;
        break;
    case SoundKind::Midi:
        if (TrimSpaces(alarm.MidFile).empty()) break;
        command.kind = SoundCommand::Kind::Mci;
        if (alarm.MidFile.find(L'"') != std::wstring::npos) {
            command.refusedWith = kMciErrFileNotFound;
            break;
        }
        command.play = L"play \"" + alarm.MidFile + L"\"";
        break;
    case SoundKind::CdAudio: {
        command.kind = SoundCommand::Kind::Mci;
        command.setup = L"set cdaudio time format tmsf";
        int track = alarm.CdRandom ? picker.Pick(alarm.CdTrackCount) : alarm.CdTrack;
        command.play = L"play cdaudio from " + std::to_wstring(track);
        break;
    }
    }
    return command;
}

namespace {

bool StartsWithIgnoringAsciiCase(std::wstring_view text, std::wstring_view lowerPrefix) {
    if (text.size() < lowerPrefix.size()) return false;
    for (std::size_t i = 0; i < lowerPrefix.size(); ++i) {
        wchar_t c = text[i];
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c != lowerPrefix[i]) return false;
    }
    return true;
}

}  // namespace

MessageAction ClassifyMessage(std::wstring_view trimmedMessage) {
    constexpr std::wstring_view kExecPrefix = L"#exec ";
    constexpr std::wstring_view kArchivePrefix = L"lha ";
    MessageAction action;
    if (trimmedMessage.empty()) return action;
    if (!StartsWithIgnoringAsciiCase(trimmedMessage, kExecPrefix)) {
        action.kind = MessageAction::Kind::Dialog;
        action.text = trimmedMessage;
        return action;
    }
    std::wstring_view command = trimmedMessage.substr(kExecPrefix.size());
    std::size_t start = command.find_first_not_of(L' ');
    command = start == std::wstring_view::npos ? std::wstring_view{} : command.substr(start);
    if (command.substr(0, kArchivePrefix.size()) == kArchivePrefix) {
        action.kind = MessageAction::Kind::Archive;
        action.text = command.substr(kArchivePrefix.size());
    } else {
        action.kind = MessageAction::Kind::Shell;
        action.text = command;
    }
    return action;
}

std::wstring ArchiveLogPath(const std::wstring& appPath) { return appPath + L"log.txt"; }

std::optional<Point> DialogPlacement(hv::DialogPosition position, int screenWidth, int screenHeight,
                                     int dialogWidth, int dialogHeight) {
    const int right = screenWidth - dialogWidth;
    const int bottom = screenHeight - dialogHeight;
    switch (position) {
    case DialogPosition::ScreenCentre:
        return Point{right / 2, bottom / 2};  // truncated toward zero, also for a dialog wider than the screen
    case DialogPosition::TopLeft:
        return Point{0, 0};
    case DialogPosition::BottomLeft:
        return Point{0, bottom};
    case DialogPosition::TopRight:
        return Point{right, 0};
    case DialogPosition::BottomRight:
        return Point{right, bottom};
    }
    return std::nullopt;
}

std::wstring AlarmCaption(int day, std::wstring_view weekdayName, int hour, int minute) {
    int hour12 = hour % 12 == 0 ? 12 : hour % 12;
    std::wstring caption = L"アラーム時刻になりました - ";
    caption += std::to_wstring(day) + L"日(";
    caption += weekdayName;
    caption += L") " + std::to_wstring(hour12) + L"時" + std::to_wstring(minute) + L"分";
    caption += hour < 12 ? L"am" : L"pm";
    return caption;
}

}  // namespace hv
