#pragma once

#include <cstdint>
#include <string_view>

namespace UiLib {

// A colour attribute as the layouts write it: "#AARRGGBB", "0xAARRGGBB" or plain hexadecimal digits,
// giving 0xAARRGGBB (alpha in the top byte, not premultiplied). Leading white space and one "#" are
// skipped, then the text is read like a 32-bit unsigned hexadecimal conversion: an optional sign and
// "0x", digits up to the first other character, 0xFFFFFFFF when the value does not fit, 0 when there
// are no digits. Six digits therefore give alpha 0, a colour that is never drawn.
std::uint32_t ParseColour(std::wstring_view text);

} // namespace UiLib
