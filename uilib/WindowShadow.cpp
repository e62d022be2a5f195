#include "uilib/WindowShadow.h"

#include "uilib/ImageCache.h"
#include "uilib/ImageDescription.h"
#include "uilib/NumberList.h"
#include "uilib/TextCase.h"
#include "uilib/WindowManagerUI.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

namespace UiLib {

namespace {

constexpr int kMaxReach = 20;
constexpr int kMaxSharpness = 20;
constexpr int kMaxDarkness = 255;

bool InRange(int value, int low, int high) {
    return value >= low && value <= high;
}

// The colour as written in hexadecimal, so its low byte is red (not the layouts' usual 0xAARRGGBB).
// A value too large for 32 bits becomes 0xFFFFFFFF, as the standard conversion gives it there.
std::uint32_t ParseShadowColour(const std::wstring& text) {
    const wchar_t* digits = text.c_str();
    if (*digits == L'#')
        ++digits;
    const unsigned long long value = std::wcstoull(digits, nullptr, 16);
    return value > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<std::uint32_t>(value);
}

} // namespace

CWindowShadow::~CWindowShadow() {
    if (m_Surface)
        m_Surface->destroy();
}

bool CWindowShadow::ApplyLayoutAttributes(CWindowManagerUI& manager) {
    auto attribute = [&](const wchar_t* name) { return manager.GetWindowCustomAttribute(name); };
    if (!EqualsIgnoringCase(attribute(L"showshadow"), L"true"))
        return false;

    if (const std::wstring image = attribute(L"shadowimage"); !image.empty())
        SetImage(manager.Images(), image, ParseRect(attribute(L"shadowcorner")),
                 ParseRect(attribute(L"shadowholeoffset")));
    if (const std::wstring size = attribute(L"shadowsize"); !size.empty())
        SetSize(ParseInt(size));
    if (const std::wstring sharpness = attribute(L"shadowsharpness"); !sharpness.empty())
        SetSharpness(ParseInt(sharpness));
    if (const std::wstring darkness = attribute(L"shadowdarkness"); !darkness.empty())
        SetDarkness(ParseInt(darkness));
    if (const std::wstring position = attribute(L"shadowposition"); !position.empty()) {
        const Platform::Size offset = ParseSize(position);
        SetPosition(offset.width, offset.height);
    }
    if (const std::wstring colour = attribute(L"shadowcolor"); !colour.empty())
        SetColor(ParseShadowColour(colour));
    return true;
}

bool CWindowShadow::Create(ShadowOwner& owner, std::unique_ptr<ShadowSurface> surface) {
    if (!surface)
        return false;
    if (m_Surface)
        m_Surface->destroy();
    m_Owner = &owner;
    m_Surface = std::move(surface);
    switch (owner.state()) {
    case ShadowOwner::State::Hidden:
        m_Status = kEnabled;
        break;
    case ShadowOwner::State::MinimisedOrMaximised:
        m_Status = kEnabled | kOwnerVisible;
        break;
    case ShadowOwner::State::Shown:
        m_Status = kEnabled | kShadowVisible | kOwnerVisible;
        m_Surface->show();
        Update();
        break;
    }
    return true;
}

bool CWindowShadow::SetSize(int size) {
    if (!InRange(size, -kMaxReach, kMaxReach))
        return false;
    m_Params.size = size;
    UpdateIfVisible();
    return true;
}

bool CWindowShadow::SetSharpness(int sharpness) {
    if (!InRange(sharpness, 0, kMaxSharpness))
        return false;
    m_Params.sharpness = sharpness;
    UpdateIfVisible();
    return true;
}

bool CWindowShadow::SetDarkness(int darkness) {
    if (!InRange(darkness, 0, kMaxDarkness))
        return false;
    m_Params.darkness = darkness;
    UpdateIfVisible();
    return true;
}

bool CWindowShadow::SetPosition(int x, int y) {
    if (!InRange(x, -kMaxReach, kMaxReach) || !InRange(y, -kMaxReach, kMaxReach))
        return false;
    m_Params.xOffset = x;
    m_Params.yOffset = y;
    UpdateIfVisible();
    return true;
}

bool CWindowShadow::SetColor(std::uint32_t colour) {
    m_Params.colour = colour;
    UpdateIfVisible();
    return true;
}

bool CWindowShadow::SetImage(ImageCache& images, const std::wstring& image, const Platform::Rect& corner,
                             const Platform::Rect& holeOffset) {
    const ImageDescription description = ParseImageDescription(image);
    const ImageEntry* entry =
        images.GetImage(description.name, description.resourceType, description.mask, description.hsl);
    if (!entry)
        return false;
    m_Image = *entry;
    m_Corner = corner;
    m_HoleOffset = holeOffset;
    UpdateIfVisible();
    return true;
}

void CWindowShadow::OnOwnerMessage(unsigned message, Platform::WParam wParam, Platform::LParam lParam) {
    if (!m_Owner)
        return;
    switch (message) {
    case Platform::Msg::kDestroy:
        if (m_Surface) {
            m_Surface->destroy();
            m_Surface.reset();
        }
        break;
    case Platform::Msg::kMove:
        // A plain move keeps the pixels: only the window follows.
        if ((m_Status & kShadowVisible) && m_Surface) {
            const Platform::Rect place = Geometry(m_Owner->windowRect());
            m_Surface->move({place.left, place.top});
        }
        break;
    case Platform::Msg::kSize: {
        if (!(m_Status & kEnabled))
            break;
        const int width = static_cast<int>(lParam & 0xFFFF);
        const int height = static_cast<int>((lParam >> 16) & 0xFFFF);
        if (wParam == Platform::SizeKind::kMinimized || wParam == Platform::SizeKind::kMaximized) {
            HideSurface();
            m_Status &= ~kShadowVisible;
        } else if (m_Status & kOwnerVisible) {
            // Growing: the owner has not painted its new part yet, so the shadow waits for the paint
            // rather than showing around an unfinished window. Shrinking shows at once.
            if (width <= m_LastOwnerSize.width && height <= m_LastOwnerSize.height)
                Update();
            else
                m_UpdatePending = true;
            if (!(m_Status & kShadowVisible)) {
                ShowSurface();
                m_Status |= kShadowVisible;
            }
        }
        m_LastOwnerSize = {width, height};
        break;
    }
    case Platform::Msg::kPaint:
        if (m_UpdatePending) {
            Update();
            m_UpdatePending = false;
        }
        break;
    case Platform::Msg::kActivate:
    case kExitSizeMoveMessage:
        UpdateIfVisible();
        break;
    case Platform::Msg::kShowWindow:
        if (!(m_Status & kEnabled))
            break;
        if (wParam == 0) {
            HideSurface();
            m_Status &= ~(kShadowVisible | kOwnerVisible);
        } else if (!(m_Status & kOwnerVisible)) {
            m_UpdatePending = true;
            ShowSurface();
            m_Status |= kShadowVisible | kOwnerVisible;
        }
        break;
    case Platform::Msg::kNcDestroy:
        m_Owner = nullptr;
        break;
    default:
        break;
    }
}

void CWindowShadow::Update() {
    if (!m_Surface || !m_Owner)
        return;
    const Platform::Rect ownerRect = m_Owner->windowRect();
    m_Surface->update(Geometry(ownerRect),
                      Pixels(m_Owner->region(), {ownerRect.width(), ownerRect.height()}));
}

Platform::Rect CWindowShadow::Geometry(const Platform::Rect& ownerRect) const {
    int left = ownerRect.left + m_Params.xOffset - m_Params.size;
    int top = ownerRect.top + m_Params.yOffset - m_Params.size;
    int width = ownerRect.width() + 2 * m_Params.size;
    int height = ownerRect.height() + 2 * m_Params.size;
    if (m_Image) {
        left = ownerRect.left - m_Corner.left;
        top = ownerRect.top - m_Corner.top;
        width = ownerRect.width() + m_Corner.left + m_Corner.right;
        height = ownerRect.height() + m_Corner.top + m_Corner.bottom;
    }
    if (width <= 0 || height <= 0)
        return {left, top, left, top};
    return {left, top, left + width, top + height};
}

ShadowBitmap CWindowShadow::Pixels(const std::optional<Platform::WindowRegion>& ownerRegion,
                                   Platform::Size ownerSize) const {
    if (m_Image)
        return DrawShadowImage({m_Image->pixels.data(), m_Image->width, m_Image->height}, ownerSize, m_Corner,
                               m_HoleOffset);
    return ComputeShadow(ownerRegion, ownerSize, m_Params);
}

void CWindowShadow::ShowSurface() {
    if (m_Surface)
        m_Surface->show();
}

void CWindowShadow::HideSurface() {
    if (m_Surface)
        m_Surface->hide();
}

void CWindowShadow::UpdateIfVisible() {
    if (m_Status & kShadowVisible)
        Update();
}

} // namespace UiLib
