#pragma once

#include "platform/window/WindowTypes.h"

namespace UiLib {

// Gives the window the picture of program resource "ICON" `id` (any picture format the image
// loader reads) as its icon. False when there is no such resource or it does not decode.
bool SetWindowIconFromResource(Platform::WindowHandle window, int id);

} // namespace UiLib
