#include "util/file_filter.h"

namespace hv {

std::wstring BuildOpenFileFilter(std::wstring_view callerFilter) {
    std::wstring filter(callerFilter);
    filter.push_back(L'\0');
    filter.push_back(L'\0');
    return filter;
}

}  // namespace hv
