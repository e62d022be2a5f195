#pragma once

#include "uilib/controls/ContainerUI.h"

namespace UiLib {

enum class Axis { Vertical, Horizontal };

// Children one after another along an axis: fixed sizes first, the rest shared by the children
// without a size, the last of them taking what rounding leaves.
class CBoxLayoutUI : public CContainerUI {
public:
    void SetPos(const Rect& rect) override;

protected:
    explicit CBoxLayoutUI(Axis axis) : m_Axis(axis) {}

private:
    Axis m_Axis;
};

} // namespace UiLib
