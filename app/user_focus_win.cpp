#include "app/user_focus_win.h"

#include <windows.h>
#include <inspectable.h>
#include <shellapi.h>

#include <iterator>

namespace hv {

namespace {

// The notification setting is a property of a Windows Runtime class, reached through its
// binary interfaces, which the MinGW headers do not declare: each method's place in the
// table follows IInspectable's six.
struct IToastNotificationManagerStatics5 : IInspectable {
    // The manager of the signed-in user (a ToastNotificationManagerForUser).
    virtual HRESULT STDMETHODCALLTYPE GetDefault(IInspectable** manager) = 0;
};
struct IToastNotificationManagerForUser3 : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE get_NotificationMode(INT32* mode) = 0;
};

constexpr IID kIidStatics5 = {0xd6f5f569, 0xd40d, 0x407c, {0x89, 0x89, 0x88, 0xca, 0xb4, 0x2c, 0xfd, 0x14}};
constexpr IID kIidForUser3 = {0x3efcb176, 0x6cc1, 0x56dc, {0x97, 0x3b, 0x25, 0x1f, 0x7a, 0xac, 0xb1, 0xc5}};
constexpr wchar_t kManagerClass[] = L"Windows.UI.Notifications.ToastNotificationManager";

using CreateString = HRESULT(WINAPI*)(const wchar_t*, UINT32, HSTRING*);
using DeleteString = HRESULT(WINAPI*)(HSTRING);
using GetActivationFactory = HRESULT(WINAPI*)(HSTRING, REFIID, void**);

template <class Function>
Function Export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// One reference, released when the scope ends.
template <class Interface>
struct Held {
    Interface* p = nullptr;
    Held() = default;
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    ~Held() {
        if (p) p->Release();
    }
    void** out() { return reinterpret_cast<void**>(&p); }
};

std::optional<int> ModeOfClass(GetActivationFactory getFactory, HSTRING className) {
    // Windows 10 has the class but not the interface that carries the property: no mode.
    Held<IToastNotificationManagerStatics5> statics;
    if (FAILED(getFactory(className, kIidStatics5, statics.out())) || !statics.p) return std::nullopt;
    Held<IInspectable> manager;
    if (FAILED(statics.p->GetDefault(&manager.p)) || !manager.p) return std::nullopt;
    Held<IToastNotificationManagerForUser3> forUser;
    if (FAILED(manager.p->QueryInterface(kIidForUser3, forUser.out())) || !forUser.p) return std::nullopt;
    INT32 mode = 0;
    if (FAILED(forUser.p->get_NotificationMode(&mode))) return std::nullopt;
    return mode;
}

}  // namespace

UserFocus ReadUserFocus() {
    // Asked afresh for each minute to be spoken: a presentation begun a minute ago counts at once.
    QUERY_USER_NOTIFICATION_STATE state{};
    const UserFocus shell =
        SUCCEEDED(SHQueryUserNotificationState(&state)) ? static_cast<UserFocus>(state) : UserFocus::Unknown;
    if (FocusAsksQuiet(shell)) return shell;
    return WithNotificationMode(shell, ReadNotificationMode());
}

std::optional<int> ReadNotificationMode() {
    // Bound late, from the system folder only: the program imports nothing of the Windows
    // Runtime, which older systems do not have, and start-up loads nothing for it.
    HMODULE combase = LoadLibraryExW(L"combase.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!combase) return std::nullopt;
    const auto create = Export<CreateString>(combase, "WindowsCreateString");
    const auto remove = Export<DeleteString>(combase, "WindowsDeleteString");
    const auto getFactory = Export<GetActivationFactory>(combase, "RoGetActivationFactory");
    std::optional<int> mode;
    HSTRING className = nullptr;
    // The thread's apartment is OLE's (started after the first paint); before that, or
    // without it, the factory refuses and the mode is unknown.
    if (create && remove && getFactory &&
        SUCCEEDED(create(kManagerClass, static_cast<UINT32>(std::size(kManagerClass) - 1), &className))) {
        mode = ModeOfClass(getFactory, className);
        remove(className);
    }
    FreeLibrary(combase);
    return mode;
}

}  // namespace hv
