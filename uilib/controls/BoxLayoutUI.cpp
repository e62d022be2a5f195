#include "uilib/controls/BoxLayoutUI.h"

#include <algorithm>
#include <vector>

namespace UiLib {

namespace {

// A rectangle or size seen along the layout's axis: "main" runs along it, "cross" across it.
struct Along {
    Axis axis;

    int main(Size size) const { return axis == Axis::Vertical ? size.height : size.width; }
    int cross(Size size) const { return axis == Axis::Vertical ? size.width : size.height; }
    int mainBefore(const Rect& r) const { return axis == Axis::Vertical ? r.top : r.left; }
    int mainAfter(const Rect& r) const { return axis == Axis::Vertical ? r.bottom : r.right; }
    int crossBefore(const Rect& r) const { return axis == Axis::Vertical ? r.left : r.top; }
    int crossAfter(const Rect& r) const { return axis == Axis::Vertical ? r.right : r.bottom; }
    int minMain(const CControlUI& c) const { return axis == Axis::Vertical ? c.GetMinHeight() : c.GetMinWidth(); }
    int maxMain(const CControlUI& c) const { return axis == Axis::Vertical ? c.GetMaxHeight() : c.GetMaxWidth(); }
    int minCross(const CControlUI& c) const { return axis == Axis::Vertical ? c.GetMinWidth() : c.GetMinHeight(); }
    int maxCross(const CControlUI& c) const { return axis == Axis::Vertical ? c.GetMaxWidth() : c.GetMaxHeight(); }
    Rect make(int mainStart, int mainEnd, int crossStart, int crossEnd) const {
        return axis == Axis::Vertical ? Rect{crossStart, mainStart, crossEnd, mainEnd}
                                      : Rect{mainStart, crossStart, mainEnd, crossEnd};
    }
};

int Clamp(int value, int low, int high) {
    return std::max(low, std::min(value, high));
}

} // namespace

void CBoxLayoutUI::SetPos(const Rect& rect) {
    CControlUI::SetPos(rect);
    const Along along{m_Axis};
    const Rect inner = InnerRect();
    const Size available{std::max(inner.width(), 0), std::max(inner.height(), 0)};

    struct Slot {
        CControlUI* child;
        Size estimate;
        int extent; // fixed size along the axis plus padding on both sides; 0 size for adjustables
    };
    std::vector<Slot> slots;
    int adjustables = 0;
    int fixedSum = 0;
    for (auto& item : m_Items) {
        if (!item->IsVisible())
            continue;
        if (item->IsFloat()) {
            PlaceFloating(*item);
            continue;
        }
        const Size estimate = item->EstimateSize(available);
        int size = along.main(estimate);
        if (size == 0)
            ++adjustables;
        else
            size = Clamp(size, along.minMain(*item), along.maxMain(*item));
        const int extent = size + along.mainBefore(item->GetPadding()) + along.mainAfter(item->GetPadding());
        slots.push_back({item.get(), estimate, extent});
        fixedSum += extent;
    }
    if (slots.size() > 1)
        fixedSum += static_cast<int>(slots.size() - 1) * m_ChildPadding;
    const int share = adjustables > 0 ? std::max(0, (along.main(available) - fixedSum) / adjustables) : 0;

    // What the children after each one take, so that the last adjustable child can end exactly at
    // the inner edge.
    std::vector<int> after(slots.size() + 1, 0);
    for (size_t i = slots.size(); i-- > 0;)
        after[i] = after[i + 1] + slots[i].extent + (i + 1 < slots.size() ? m_ChildPadding : 0);

    const ChildAlign align = m_Axis == Axis::Vertical ? m_ChildAlign : m_ChildVAlign;
    const int crossStart = along.crossBefore(inner);
    const int crossEnd = along.crossAfter(inner);
    const int crossAvailable = along.cross(available);
    int position = along.mainBefore(inner);
    int adjustableSeen = 0;
    for (size_t i = 0; i < slots.size(); ++i) {
        CControlUI& child = *slots[i].child;
        const Rect& padding = child.GetPadding();
        position += along.mainBefore(padding);
        int size = along.main(slots[i].estimate);
        if (size == 0) {
            size = share;
            if (++adjustableSeen == adjustables) {
                const int end = along.mainAfter(inner) - after[i + 1] - (i + 1 < slots.size() ? m_ChildPadding : 0);
                size = std::max(0, end - along.mainAfter(padding) - position);
            }
        }
        size = Clamp(size, along.minMain(child), along.maxMain(child));

        const int paddingAcross = along.crossBefore(padding) + along.crossAfter(padding);
        int across = along.cross(slots[i].estimate);
        if (across == 0)
            across = crossAvailable - paddingAcross;
        across = Clamp(std::min(across, crossAvailable), along.minCross(child), along.maxCross(child));
        int start = crossStart + along.crossBefore(padding);
        if (align == ChildAlign::Center)
            start = crossStart + (crossEnd - crossStart - across) / 2;
        else if (align == ChildAlign::End)
            start = crossEnd - along.crossAfter(padding) - across;

        child.SetPos(along.make(position, position + size, start, start + across));
        position += size + along.mainAfter(padding) + m_ChildPadding;
    }
}

} // namespace UiLib
