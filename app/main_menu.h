// The main window's menus: command ids and captions.
#pragma once

namespace hv {

// Menu commands (mnuVocal, mnuAlarm, mnuCalendar, mnuTopic, mnuVersionInfo).
inline constexpr unsigned kCmdVocal = 101;
inline constexpr unsigned kCmdAlarm = 102;
inline constexpr unsigned kCmdCalendar = 103;
inline constexpr unsigned kCmdAutostart = 104;  // start with Windows (the user's Run key)
inline constexpr unsigned kCmdTopic = 201;
inline constexpr unsigned kCmdVersionInfo = 202;

// The system-menu item that keeps the window above the others.
inline constexpr unsigned kCmdAlwaysOnTop = 1000;

inline constexpr wchar_t kCaptionSetup[] = L"設定(&S)";
inline constexpr wchar_t kCaptionVocal[] = L"発声方法(&H)...";
inline constexpr wchar_t kCaptionAlarm[] = L"アラーム(&A)...";
inline constexpr wchar_t kCaptionCalendar[] = L"カレンダー(&C)...";
inline constexpr wchar_t kCaptionAutostart[] = L"Windows の起動時に実行(&W)";
inline constexpr wchar_t kCaptionHelp[] = L"ヘルプ(&H)";
inline constexpr wchar_t kCaptionTopic[] = L"トピックの検索(&H)";
inline constexpr wchar_t kCaptionVersionInfo[] = L"バージョン情報(&A)...";
inline constexpr wchar_t kCaptionAlwaysOnTop[] = L"常に手前に表示(&T)";

inline constexpr wchar_t kMainWindowClass[] = L"HoravoxMain";

// Registered message that a second start posts to the running instance's main window: show
// it (from the notification area too) and bring it to the front.
inline constexpr wchar_t kBringForwardMessage[] = L"Kelvane.Horavox.BringForward";

// The notification-area icon's callback message (the first user message).
inline constexpr unsigned kTrayMessage = 0x0400;
inline constexpr unsigned kTrayIconId = 1;

}  // namespace hv
