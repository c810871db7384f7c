// The icon chooser without the dialog: the choice it starts from and hands back, its
// messages, and the strip's rules (which cell a click or key selects, when the strip
// scrolls and how far, when OK may be pressed).
#pragma once

#include <string>
#include <string_view>

namespace hv {

// The chooser's input and result: the file and icon number it opens with; after OK,
// `accepted` and the file and icon the user confirmed.
struct IconChoice {
    std::wstring file;
    int index = 0;
    bool accepted = false;
};

inline constexpr wchar_t kIconChooserTitle[] = L"アイコンの変更";
// An alarm stores its icon number in one byte: icons beyond are not offered.
inline constexpr int kMaxIconIndex = 255;

// The system folder (ending in a backslash) + "SHELL32.DLL".
std::wstring DefaultIconFile(const std::wstring& systemDirectory);
std::wstring NoIconsMessage(std::wstring_view file);
std::wstring FileNotFoundMessage(std::wstring_view file);
// The open-file dialog's five filter pairs.
std::wstring IconFileFilter();

enum class StripKey { Left, Right, Other };

// The strip of one file's icons: one cell per icon, side by side, in a viewport that
// scrolls horizontally. Lengths are pixels at the dialog's dpi (32 x 44 cells and a 325
// wide viewport at 96 dpi).
class IconStripModel {
public:
    IconStripModel(int cellWidth = 32, int viewportWidth = 325) : cell_(cellWidth), viewport_(viewportWidth) {}

    // A file with `count` icons (at most kMaxIconIndex + 1 are shown): nothing marked, the
    // scroll bar at 0 and enabled only when the icons do not fit.
    void Load(int count);
    void SetGeometry(int cellWidth, int viewportWidth);

    int count() const { return count_; }
    int marked() const { return marked_; }  // -1: none
    int stripWidth() const { return count_ * cell_; }
    int cellWidth() const { return cell_; }
    int viewportWidth() const { return viewport_; }
    int scrollMaximum() const { return stripWidth() - viewport_; }
    bool scrollEnabled() const { return count_ > 0 && scrollMaximum() >= 0; }
    int scrollValue() const { return scroll_; }
    void SetScrollValue(int value);

    // Moves the mark to `index`; false (nothing changes) for an index beyond the icons or
    // the cell already marked. A marked icon enables OK.
    bool Mark(int index);
    // The scroll value that brings `index` into view (and takes it).
    int ScrollTo(int index);
    // The icon under x (pixels from the strip's left edge); -1 beyond the last icon.
    int IndexAt(int x) const;
    // The selection after an arrow key: one step, never past either end.
    int Step(int index, StripKey key) const;

private:
    int cell_;
    int viewport_;
    int count_ = 0;
    int marked_ = -1;
    int scroll_ = 0;
};

}  // namespace hv
