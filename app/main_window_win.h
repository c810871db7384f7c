// frmMain: the program's main window.
#pragma once

#include "app/app.h"
#include "util/window_win.h"

namespace hv {

class MainWindow : public Window {
public:
    explicit MainWindow(App& app) : app_(app) {}
    bool Create(int showCommand);

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDestroyed() override { PostQuitMessage(0); }

private:
    void Paint(HDC dc, const RECT& client);

    App& app_;
};

}  // namespace hv
