#pragma once

// Points and rectangles as the window system and the layouts give them: edges, right and bottom
// exclusive.
namespace Platform {

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    bool contains(Point point) const {
        return point.x >= left && point.x < right && point.y >= top && point.y < bottom;
    }
    bool operator==(const Rect&) const = default;
};

struct Size {
    int width = 0;
    int height = 0;
    bool operator==(const Size&) const = default;
};

// The common part; empty (all zeros) when they do not meet.
inline Rect Intersect(const Rect& a, const Rect& b) {
    const Rect common{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
                      a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
    return common.isEmpty() ? Rect{} : common;
}

// The smallest rectangle holding both; an empty one counts as nothing.
inline Rect Union(const Rect& a, const Rect& b) {
    if (a.isEmpty())
        return b;
    if (b.isEmpty())
        return a;
    return {a.left < b.left ? a.left : b.left, a.top < b.top ? a.top : b.top,
            a.right > b.right ? a.right : b.right, a.bottom > b.bottom ? a.bottom : b.bottom};
}

inline Rect Offset(const Rect& rect, int dx, int dy) {
    return {rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
}

} // namespace Platform
