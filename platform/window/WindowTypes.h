#pragma once

#include "platform/Geometry.h"

#include <cstdint>

// The vocabulary of the window system. Message numbers, key codes, hit-test codes, show commands
// and style bits are the Windows values, so that the framework and the installer keep their own
// message numbers (WM_USER + 1000 and so on) on every system.
namespace Platform {

// A window as other code holds it. Handles are never reused within a process, so a stale handle is
// simply "no window" (IsWindow false, posts fail).
using WindowHandle = std::uint32_t;
constexpr WindowHandle kNoWindow = 0;

using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;

namespace Msg {
constexpr unsigned kCreate = 0x0001;
constexpr unsigned kDestroy = 0x0002;
constexpr unsigned kMove = 0x0003;
constexpr unsigned kSize = 0x0005;
constexpr unsigned kActivate = 0x0006;
constexpr unsigned kSetFocus = 0x0007;
constexpr unsigned kKillFocus = 0x0008;
constexpr unsigned kEnable = 0x000A;
constexpr unsigned kPaint = 0x000F;
constexpr unsigned kClose = 0x0010;
constexpr unsigned kQuit = 0x0012;
constexpr unsigned kShowWindow = 0x0018;
constexpr unsigned kSetCursor = 0x0020;
constexpr unsigned kGetMinMaxInfo = 0x0024;
constexpr unsigned kNcDestroy = 0x0082;
constexpr unsigned kNcCalcSize = 0x0083;
constexpr unsigned kNcHitTest = 0x0084;
constexpr unsigned kNcPaint = 0x0085;
constexpr unsigned kNcActivate = 0x0086;
constexpr unsigned kNcLButtonDown = 0x00A1;
constexpr unsigned kKeyDown = 0x0100;
constexpr unsigned kKeyUp = 0x0101;
constexpr unsigned kChar = 0x0102;
constexpr unsigned kSysCommand = 0x0112;
constexpr unsigned kTimer = 0x0113;
constexpr unsigned kMouseMove = 0x0200;
constexpr unsigned kLButtonDown = 0x0201;
constexpr unsigned kLButtonUp = 0x0202;
constexpr unsigned kLButtonDblClk = 0x0203;
constexpr unsigned kRButtonDown = 0x0204;
constexpr unsigned kRButtonUp = 0x0205;
constexpr unsigned kMouseWheel = 0x020A;
constexpr unsigned kCaptureChanged = 0x0215;
constexpr unsigned kExitSizeMove = 0x0232; // the window system stopped moving the window with the pointer
constexpr unsigned kMouseHover = 0x02A1;
constexpr unsigned kMouseLeave = 0x02A3;
constexpr unsigned kUser = 0x0400;
} // namespace Msg

// Results of Msg::kNcHitTest.
namespace HitTest {
constexpr int kNowhere = 0;
constexpr int kClient = 1;
constexpr int kCaption = 2;
constexpr int kLeft = 10;
constexpr int kRight = 11;
constexpr int kTop = 12;
constexpr int kTopLeft = 13;
constexpr int kTopRight = 14;
constexpr int kBottom = 15;
constexpr int kBottomLeft = 16;
constexpr int kBottomRight = 17;
} // namespace HitTest

// wParam of Msg::kSysCommand.
namespace SysCommand {
constexpr unsigned kMinimize = 0xF020;
constexpr unsigned kMaximize = 0xF030;
constexpr unsigned kClose = 0xF060;
constexpr unsigned kRestore = 0xF120;
} // namespace SysCommand

// ShowWindow commands.
namespace Show {
constexpr int kHide = 0;
constexpr int kNormal = 1;
constexpr int kMinimized = 2;
constexpr int kMaximize = 3;
constexpr int kNoActivate = 4;
constexpr int kShow = 5;
constexpr int kMinimize = 6;
constexpr int kRestore = 9;
} // namespace Show

// wParam of Msg::kSize.
namespace SizeKind {
constexpr unsigned kRestored = 0;
constexpr unsigned kMinimized = 1;
constexpr unsigned kMaximized = 2;
} // namespace SizeKind

namespace Style {
constexpr std::uint32_t kCaption = 0x00C00000;
constexpr std::uint32_t kBorder = 0x00800000;
constexpr std::uint32_t kThickFrame = 0x00040000;
constexpr std::uint32_t kMaximizeBox = 0x00010000;
constexpr std::uint32_t kMinimizeBox = 0x00020000;
constexpr std::uint32_t kSysMenu = 0x00080000;
constexpr std::uint32_t kClipChildren = 0x02000000;
constexpr std::uint32_t kClipSiblings = 0x04000000;
constexpr std::uint32_t kVisible = 0x10000000;
constexpr std::uint32_t kPopup = 0x80000000;
constexpr std::uint32_t kOverlappedWindow = 0x00CF0000;
} // namespace Style

// Virtual-key codes.
namespace Key {
constexpr unsigned kBack = 0x08;
constexpr unsigned kTab = 0x09;
constexpr unsigned kReturn = 0x0D;
constexpr unsigned kShift = 0x10;
constexpr unsigned kControl = 0x11;
constexpr unsigned kEscape = 0x1B;
constexpr unsigned kSpace = 0x20;
constexpr unsigned kEnd = 0x23;
constexpr unsigned kHome = 0x24;
constexpr unsigned kLeft = 0x25;
constexpr unsigned kUp = 0x26;
constexpr unsigned kRight = 0x27;
constexpr unsigned kDown = 0x28;
constexpr unsigned kInsert = 0x2D;
constexpr unsigned kDelete = 0x2E;
// Letters and digits are their upper-case ASCII codes ('A' = 0x41, '0' = 0x30).
} // namespace Key

// Mouse-message wParam bits.
namespace MouseKey {
constexpr unsigned kLButton = 0x0001;
constexpr unsigned kRButton = 0x0002;
constexpr unsigned kShift = 0x0004;
constexpr unsigned kControl = 0x0008;
} // namespace MouseKey

enum class Cursor { Arrow, Hand, Text };

// A message as the loop hands it out.
struct Message {
    WindowHandle window = kNoWindow;
    unsigned message = 0;
    WParam wParam = 0;
    LParam lParam = 0;
    std::uint32_t time = 0; // milliseconds since system start
    Point point;            // pointer position on the screen when the message was made
};

// Point <-> lParam as the mouse messages carry it (x low word, y high word, both signed).
inline LParam PackPoint(Point point) {
    return static_cast<LParam>((static_cast<std::uint32_t>(point.y & 0xFFFF) << 16) |
                               static_cast<std::uint32_t>(point.x & 0xFFFF));
}
inline Point UnpackPoint(LParam value) {
    return {static_cast<std::int16_t>(value & 0xFFFF), static_cast<std::int16_t>((value >> 16) & 0xFFFF)};
}

// The receiver of a window's messages.
class WindowProcedure {
public:
    virtual LResult HandleWindowMessage(WindowHandle window, unsigned message, WParam wParam,
                                        LParam lParam) = 0;

protected:
    ~WindowProcedure() = default;
};

} // namespace Platform
