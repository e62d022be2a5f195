#include "uilib/WindowIcon.h"

#include "platform/Resources.h"
#include "platform/window/WindowSystem.h"
#include "uilib/ImageLoader.h"

namespace UiLib {

bool SetWindowIconFromResource(Platform::WindowHandle window, int id) {
    const std::unique_ptr<ImageEntry> icon = DecodeImage(Platform::FindResource(id, "ICON"), 0);
    if (!icon || !Platform::IsWindow(window))
        return false;
    Platform::SetWindowIcon(window, {icon->pixels.data(), icon->width, icon->height});
    return true;
}

} // namespace UiLib
