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

// The notification-area menu's own commands.
inline constexpr unsigned kCmdSpeakTime = 301;
inline constexpr unsigned kCmdSpeakDate = 302;
inline constexpr unsigned kCmdPauseHalfHour = 311;  // the pause choices in PauseChoice order
inline constexpr unsigned kCmdPauseResume = 314;
inline constexpr unsigned kCmdTimerFirst = 320;  // + the index into kTimerMinutes
inline constexpr unsigned kCmdTimerCustom = 330;
inline constexpr unsigned kCmdTimerStop = 331;
inline constexpr unsigned kCmdShowHide = 340;
inline constexpr unsigned kCmdTrayHelp = 341;
inline constexpr unsigned kCmdExit = 342;
inline constexpr int kTimerMinutes[] = {1, 3, 5, 10, 15, 30, 60};

inline constexpr wchar_t kCaptionSpeakTime[] = L"今の時刻を読み上げる(&T)";
inline constexpr wchar_t kCaptionSpeakDate[] = L"今日の日付を読み上げる(&D)";
inline constexpr wchar_t kCaptionPause[] = L"発声を一時停止(&P)";
inline constexpr const wchar_t* kCaptionPauseChoices[] = {L"30分(&3)", L"1時間(&1)", L"明日の朝まで(&M)", L"再開(&R)"};
inline constexpr wchar_t kCaptionTimer[] = L"タイマー(&M)";
inline constexpr wchar_t kCaptionTimerCustom[] = L"時間を指定(&S)...";
inline constexpr wchar_t kCaptionTimerStop[] = L"停止(&T)";
inline constexpr wchar_t kCaptionShow[] = L"表示(&V)";
inline constexpr wchar_t kCaptionHide[] = L"隠す(&V)";
inline constexpr wchar_t kCaptionTrayHelp[] = L"ヘルプ(&L)";
inline constexpr wchar_t kCaptionExit[] = L"終了(&X)";
// The notice at a timer's end.
inline constexpr wchar_t kTimerEndedText[] = L"タイマーが終了しました";

// The global key that speaks the time (RegisterHotKey's id).
inline constexpr int kTalkHotkeyId = 1;

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
