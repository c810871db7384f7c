#include "util/help_win.h"

#include <objbase.h>
#include <shellapi.h>

#include "hvplus/module_paths_win.h"
#include "hvplus/program_identity.h"
#include "util/help_topics.h"

namespace hv {

namespace {

void ShowHelpPage(HWND owner, const std::wstring& path) {
    if (OpenHelpPage(owner, path)) return;
    std::wstring text = L"ヘルプを開けませんでした。\r\n" + path;
    MessageBoxW(owner, text.c_str(), kProgramTitle, MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

bool OpenHelpPage(HWND owner, const std::wstring& path) {
    if (!FileExists(path)) return false;
    // The shell may hand the page to an extension that needs COM on this thread.
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.hwnd = owner;
    info.lpFile = path.c_str();
    info.nShow = SW_SHOWNORMAL;
    const BOOL opened = ShellExecuteExW(&info);
    if (SUCCEEDED(com)) CoUninitialize();
    return opened != FALSE;
}

void ShowHelpTopic(HWND owner, const SystemInfo& info, std::uint32_t context) {
    ShowHelpPage(owner, HelpPagePath(info.AppPath, HelpPageForContext(context)));
}

void ShowHelpTopicList(HWND owner, const SystemInfo& info) {
    ShowHelpPage(owner, HelpPagePath(info.AppPath, kHelpTopicListPage));
}

}  // namespace hv
