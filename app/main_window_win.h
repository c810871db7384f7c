// frmMain: the program's main window.
#pragma once

#include "app/app.h"
#include "app/minute_tick_win.h"
#include "util/window_win.h"

namespace hv {

class MainWindow : public Window {
public:
    explicit MainWindow(App& app)
        : app_(app), tickActions_(*app.alarms, *app.hvplus), tick_(app.settings, app.calendar, tickActions_) {}
    bool Create(int showCommand);

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDestroyed() override { PostQuitMessage(0); }

private:
    void Paint(HDC dc, const RECT& client);

    App& app_;
    ProgramTickActions tickActions_;
    MinuteTick tick_;
};

}  // namespace hv
