#pragma once

#include "uilib/controls/ControlUI.h"

#include <memory>
#include <string_view>

namespace UiLib {

// The framework's own control for a layout element name (compared without regard to case); null
// for a name it does not build.
std::unique_ptr<CControlUI> CreateBuiltinControl(std::wstring_view elementName);

} // namespace UiLib
