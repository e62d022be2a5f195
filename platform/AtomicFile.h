#pragma once

#include <string>
#include <string_view>

namespace Platform {

// Replaces the file at `path` with `bytes` so that a reader, or the next start after a crash, sees
// either the old content or the new one, never a mixture: the bytes go to a temporary file in the
// same folder, reach the disk, and are renamed over the target. An existing file keeps its mode.
// False, with the target untouched and no temporary file left, when any step fails.
bool ReplaceFileAtomically(const std::wstring& path, std::string_view bytes);

} // namespace Platform
