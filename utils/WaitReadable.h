#pragma once

namespace Utils {

// Waits until a read from `descriptor` would not block (data, the end of the stream, or an error),
// at most `timeoutMilliseconds`. False when the time ran out first.
bool WaitReadable(int descriptor, int timeoutMilliseconds);

} // namespace Utils
