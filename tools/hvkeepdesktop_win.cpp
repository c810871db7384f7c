// hvkeepdesktop: keeps the test session's Wine desktop open until the session ends.
// Wine closes a desktop, and the explorer that draws it, a second after the last program on
// it has exited. Tests run one program after another: each then waited seconds under load for
// a new desktop, and one that arrived while the old desktop was closing got no window at all.
// A program that only waits on the desktop keeps it, and its explorer, for every test.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    GetDesktopWindow();  // joins the desktop, starting its explorer when there is none yet
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
