// The filter text of the open-file dialog.
#pragma once

#include <string>
#include <string_view>

namespace hv {

// The caller's filter, pairs of description and pattern each followed by a NUL
// ("サウンドファイル (*.wav)" NUL "*.wav" NUL), with the two NULs that end the list for the
// dialog appended. A caller that leaves out the last pair's NUL still gets a list that
// ends properly.
std::wstring BuildOpenFileFilter(std::wstring_view callerFilter);

}  // namespace hv
