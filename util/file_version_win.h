// The "FileVersion" text of a file's version resource.
#pragma once

#include <string>

namespace hv {

// The FileVersion string of `path` (the block of the first translation that has one,
// else the 040904E4 block), or "Unknown" for a missing file, a file without a version
// resource, or a block without FileVersion.
std::wstring GetFileVersionText(const std::wstring& path);

}  // namespace hv
