// The start-up splash: the program's name and version while the settings load, with the
// hourglass over it. Nothing can be done with it; start-up closes it once the main window
// is loaded.
#pragma once

#include "util/window_win.h"

namespace hv {

class SplashWindow : public Window {
public:
    bool Create();

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};

}  // namespace hv
