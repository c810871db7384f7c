#include "alarm/icon_chooser_model.h"

#include <algorithm>

namespace hv {

namespace {
// Icons 0..9 are in view with the strip at its start.
constexpr int kIconsInView = 10;
}  // namespace

std::wstring DefaultIconFile(const std::wstring& systemDirectory) { return systemDirectory + L"SHELL32.DLL"; }

std::wstring NoIconsMessage(std::wstring_view file) {
    return L"ファイル " + std::wstring(file) + L" には、利用できるアイコンがありません。";
}

std::wstring FileNotFoundMessage(std::wstring_view file) {
    return L"ファイル " + std::wstring(file) + L" が見つかりません。";
}

std::wstring IconFileFilter() {
    using namespace std::string_literals;
    return L"アイコン ファイル\0*.ico;*.exe;*.dll\0プログラム\0*.exe\0ライブラリ\0*.dll\0アイコン\0*.ico\0"
           L"すべてのファイル\0*.*\0"s;
}

void IconStripModel::Load(int count) {
    count_ = std::clamp(count, 0, kMaxIconIndex + 1);
    marked_ = -1;
    scroll_ = 0;
}

void IconStripModel::SetGeometry(int cellWidth, int viewportWidth) {
    // The same icons in view after a change of scale.
    scroll_ = cell_ > 0 ? scroll_ * cellWidth / cell_ : 0;
    cell_ = cellWidth;
    viewport_ = viewportWidth;
    SetScrollValue(scroll_);
}

void IconStripModel::SetScrollValue(int value) { scroll_ = scrollEnabled() ? std::clamp(value, 0, scrollMaximum()) : 0; }

bool IconStripModel::Mark(int index) {
    if (index < 0 || index >= count_ || index == marked_) return false;
    marked_ = index;
    return true;
}

int IconStripModel::ScrollTo(int index) {
    if (index < kIconsInView) {
        SetScrollValue(0);
    } else {
        SetScrollValue(std::min(scrollMaximum(), index * cell_));
    }
    return scroll_;
}

int IconStripModel::IndexAt(int x) const {
    if (x < 0 || cell_ <= 0) return -1;
    const int index = x / cell_;
    return index < count_ ? index : -1;
}

int IconStripModel::Step(int index, StripKey key) const {
    if (key == StripKey::Right && index < count_ - 1) return index + 1;
    if (key == StripKey::Left && index > 0) return index - 1;
    return index;
}

}  // namespace hv
