// The icon chooser's strip: every icon of one file side by side in cells of 32 x 44 pixels
// at 96 dpi (scaled with the dialog's dpi, the icons drawn at the size that dpi asks for),
// in a viewport that shows ten cells and scrolls horizontally. The strip only shows; which
// icon is selected, and when, is the chooser's (IconStripModel holds the rules).
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "alarm/icon_chooser_model.h"
#include "util/window_win.h"

namespace hv {

// The extracted icon number `index` of `file` at `size` pixels square; null when the file
// has no such icon. The caller destroys it.
HICON ExtractIconAtSize(const std::wstring& file, int index, int size);
// How many icons `file` holds (0 for none, a missing file, or one that holds no icons).
int CountIcons(const std::wstring& file);

class IconStrip : public Window {
public:
    IconStrip() = default;
    ~IconStrip() override;

    // What the user does on the strip: a click on icon `index`, an arrow (or other) key,
    // the focus arriving.
    std::function<void(int index)> onClick;
    std::function<void(StripKey key)> onKey;
    std::function<void()> onFocus;

    // A child of `parent` with control id `id`, placed later by Place.
    bool Create(HWND parent, int id);
    // Places the strip at (x, y) of its parent (pixels at `dpi`) and sizes its cells for
    // `dpi`; the icons are drawn again when the dpi changed.
    void Place(int x, int y, int dpi);

    // Fills the strip with the icons of `file` (nothing marked, scrolled to the start).
    // Returns the number of icons shown; with none the strip stays empty.
    int Load(const std::wstring& file);
    // Marks icon `index`; false when nothing changed (see IconStripModel::Mark).
    bool Mark(int index);
    void ScrollTo(int index);
    void SetScrollValue(int value);

    const IconStripModel& model() const { return model_; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Render();
    void FreeBitmap();
    void UpdateScrollBar();
    void OnPaint();
    void OnScroll(int code);
    RECT CellRect(int index) const;

    IconStripModel model_;
    std::wstring file_;
    int dpi_ = 96;
    int cellHeight_ = 44;
    HBITMAP strip_ = nullptr;  // the icons drawn once, as the strip shows them
};

}  // namespace hv
