#pragma once

#include "platform/window/DisplayBackend.h"
#include "platform/window/WindowTypes.h"
#include "uilib/ShadowPixels.h"
#include "uilib/ImageEntry.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace UiLib {

class CWindowManagerUI;
class ImageCache;

// The shadow's own window as a display realises it: a window behind its owner that takes no input
// and is never activated, showing premultiplied pixels with their alpha over whatever lies below.
class ShadowSurface {
public:
    virtual ~ShadowSurface() = default;

    // New place (screen coordinates), size and pixels; `pixels` has the size of `rect`. Nothing to
    // show comes as an empty rectangle and an empty bitmap. Visibility stays as it is; show() may
    // come before the first update(), and shows nothing until then.
    virtual void update(const Platform::Rect& rect, const ShadowBitmap& pixels) = 0;
    // The same pixels at a new top-left corner.
    virtual void move(Platform::Point topLeft) = 0;
    virtual void show() = 0;
    virtual void hide() = 0;
    // The window goes away with its owner; nothing is asked of the surface afterwards.
    virtual void destroy() = 0;
};

// What the shadow asks of its owner window, answered from the window system when it is asked.
class ShadowOwner {
public:
    enum class State { Hidden, MinimisedOrMaximised, Shown };

    // Screen coordinates.
    virtual Platform::Rect windowRect() const = 0;
    // Window coordinates; none means the shadow has no outline to follow and stays transparent.
    virtual std::optional<Platform::WindowRegion> region() const = 0;
    virtual State state() const = 0;

protected:
    ~ShadowOwner() = default;
};

// A soft drop shadow around a borderless window: its settings, the state it follows from the
// owner's messages, and the pixels it shows. The window glue creates the surface (only where the
// display can blend per-pixel alpha), calls Create, and hands every owner message to
// OnOwnerMessage before the owner's own procedure sees it.
class CWindowShadow {
public:
    // Status bits.
    static constexpr std::uint8_t kEnabled = 1;
    static constexpr std::uint8_t kShadowVisible = 2;
    static constexpr std::uint8_t kOwnerVisible = 4;
    // The end of a move or size loop, which the window system's own message numbers lack.
    static constexpr unsigned kExitSizeMoveMessage = 0x0232;

    CWindowShadow() = default;
    virtual ~CWindowShadow();
    CWindowShadow(const CWindowShadow&) = delete;
    CWindowShadow& operator=(const CWindowShadow&) = delete;

    std::uint8_t GetStatus() const { return m_Status; }
    bool IsUpdatePending() const { return m_UpdatePending; }
    const ShadowParams& GetParams() const { return m_Params; }
    bool HasImage() const { return m_Image.has_value(); }
    const Platform::Rect& GetCorner() const { return m_Corner; }
    const Platform::Rect& GetHoleOffset() const { return m_HoleOffset; }
    Platform::Size GetLastOwnerSize() const { return m_LastOwnerSize; }

    // The layout's shadow attributes, read only when "showshadow" is "true" in any case; returns
    // whether the window wants a shadow. Values the setters refuse leave the defaults in place.
    bool ApplyLayoutAttributes(CWindowManagerUI& manager);

    // Starts following `owner` (which must outlive the shadow or its final destruction message),
    // shown at once when the owner is. False, with nothing done, without a surface: a display that
    // cannot blend a shadow gives none.
    bool Create(ShadowOwner& owner, std::unique_ptr<ShadowSurface> surface);

    // Each refuses a value outside its range and leaves everything as it was; an accepted value
    // shows at once while the shadow is visible.
    bool SetSize(int size);           // -20 to 20
    bool SetSharpness(int sharpness); // 0 to 20
    bool SetDarkness(int darkness);   // 0 to 255
    bool SetPosition(int x, int y);   // -20 to 20 each
    bool SetColor(std::uint32_t colour);
    // A nine-slice picture instead of the computed shadow. False, keeping the previous picture and
    // corners, when the picture does not load.
    bool SetImage(ImageCache& images, const std::wstring& image, const Platform::Rect& corner,
                  const Platform::Rect& holeOffset);

    // One of the owner's messages, before the owner's procedure, which always runs afterwards.
    void OnOwnerMessage(unsigned message, Platform::WParam wParam, Platform::LParam lParam);

    // Recomputes the pixels and places the shadow for the owner as it is now.
    void Update();

    // The shadow window's screen rectangle for an owner at `ownerRect`.
    Platform::Rect Geometry(const Platform::Rect& ownerRect) const;
    ShadowBitmap Pixels(const std::optional<Platform::WindowRegion>& ownerRegion,
                        Platform::Size ownerSize) const;

private:
    void ShowSurface();
    void HideSurface();
    void UpdateIfVisible();

    ShadowOwner* m_Owner = nullptr;
    std::unique_ptr<ShadowSurface> m_Surface;
    std::uint8_t m_Status = 0;
    ShadowParams m_Params;
    Platform::Size m_LastOwnerSize;
    bool m_UpdatePending = false;
    // A copy, so a picture replaced in the cache under the same name never leaves the shadow with
    // freed pixels.
    std::optional<ImageEntry> m_Image;
    Platform::Rect m_Corner;
    Platform::Rect m_HoleOffset;
};

} // namespace UiLib
