#include "tests/x11/X11Fixture.h"

#include "platform/window/WindowSystem.h"
#include "uilib/WindowIcon.h"

#include <X11/Xatom.h>
#include <X11/extensions/shape.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

using namespace X11Fixture;
using LayoutWindow::Frame;
using LayoutWindow::Note;
using LayoutWindow::Plain;
using LayoutWindow::PumpReady;
using LayoutWindow::PumpUntil;
using Platform::Point;
using Platform::Rect;

namespace {

// No text: what the server shows can be compared with the window's own pixels exactly.
const wchar_t* const kLayout = LR"(<Window size="320,220" caption="0,0,0,40" roundcorner="10,10">
  <VerticalLayout bkcolor="#FFFFFFFF">
    <HorizontalLayout height="40" bkcolor="#FF2060C0">
      <Label name="title" width="120"/>
      <Control/>
      <Button name="pin" width="40" bkcolor="#FF40A040"/>
      <Button name="closebtn" width="40" bkcolor="#FFC04040"/>
    </HorizontalLayout>
    <Edit name="edit" height="30" bkcolor="#FFEEEEEE"/>
    <Button name="ok" height="40" bkcolor="#FF808080" hotbkcolor="#FF808080"/>
    <Control/>
  </VerticalLayout>
</Window>)";

std::string Xdotool(const std::string& arguments) {
    return "xdotool " + arguments + " >/dev/null 2>&1";
}

// "mousemove x y" for a point of the window.
template <typename Window> std::string MoveTo(Window& window, Point client) {
    const Point screen = window.Screen(client);
    return "mousemove " + std::to_string(screen.x) + " " + std::to_string(screen.y);
}

template <typename Window> Point Centre(Window& window, const wchar_t* name) {
    const Rect& rect = window.Find(name)->GetPos();
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

template <typename Window> Platform::WindowHandle OpenShown(Window& window, int left = 200, int top = 150) {
    const Platform::WindowHandle handle = window.Open(Platform::kNoWindow, left, top);
    EXPECT_TRUE(PumpUntil([&] {
        return IsShown(handle) && ServerRect(handle) == Platform::GetWindowRect(handle);
    })) << "server "
        << ServerRect(handle).left << "," << ServerRect(handle).top << ", window system "
        << Platform::GetWindowRect(handle).left << "," << Platform::GetWindowRect(handle).top;
    return handle;
}

} // namespace

TEST(X11Window, MapsAtTheLayoutsSizeWithItsRoundedShape) {
    Frame window(kLayout);
    const Platform::WindowHandle handle = OpenShown(window);
    const Rect rect = ServerRect(handle);
    EXPECT_EQ(rect, (Rect{200, 150, 520, 370}));

    int count = 0, ordering = 0;
    XRectangle* shape = XShapeGetRectangles(Observer(), Native(handle), ShapeBounding, &count, &ordering);
    ASSERT_NE(shape, nullptr);
    ASSERT_GT(count, 1);
    // The top row is cut at the corners, a middle row spans the whole width.
    int topLeft = 320, middleWidth = 0;
    for (int i = 0; i < count; ++i) {
        if (shape[i].y == 0)
            topLeft = std::min<int>(topLeft, shape[i].x);
        if (shape[i].y <= 110 && shape[i].y + shape[i].height > 110)
            middleWidth = std::max<int>(middleWidth, shape[i].width);
    }
    XFree(shape);
    EXPECT_GT(topLeft, 0);
    EXPECT_EQ(middleWidth, 320);
}

TEST(X11Window, TheCaptionDragsTheWindowAButtonInItDoesNot) {
    Frame window(kLayout);
    const Platform::WindowHandle handle = OpenShown(window);
    const Rect before = Platform::GetWindowRect(handle);
    const Point grip = window.Screen({60, 20});
    const std::string drag =
        "mousemove " + std::to_string(grip.x) + " " + std::to_string(grip.y) +
        " mousedown 1 sleep 0.2 mousemove_relative 20 15 sleep 0.2 mousemove_relative 20 15"
        " sleep 0.3 mouseup 1 sleep 0.2";
    ASSERT_EQ(RunWhilePumping(Xdotool(drag)), 0);
    EXPECT_TRUE(PumpUntil(
        [&] {
            return Platform::GetWindowRect(handle) == Offset(before, 40, 30) &&
                   ServerRect(handle) == Offset(before, 40, 30);
        },
        3000))
        << "window at " << Platform::GetWindowRect(handle).left << "," << Platform::GetWindowRect(handle).top
        << ", server at " << ServerRect(handle).left << "," << ServerRect(handle).top;

    // Pressing a button of the caption and moving the pointer moves nothing; a plain click clicks.
    const Rect moved = Platform::GetWindowRect(handle);
    const std::string press =
        MoveTo(window, Centre(window, L"pin")) +
        " mousedown 1 sleep 0.2 mousemove_relative 5 30 sleep 0.2 mouseup 1 sleep 0.1 " +
        MoveTo(window, Centre(window, L"pin")) + " click 1";
    ASSERT_EQ(RunWhilePumping(Xdotool(press)), 0);
    EXPECT_TRUE(PumpUntil([&] { return window.NotesOf(L"click").size() == 1; }));
    EXPECT_EQ(Platform::GetWindowRect(handle), moved);
    EXPECT_EQ(ServerRect(handle), moved);
}

TEST(X11Window, EscapeDoesNothingButtonsClickAndTypingFillsTheEdit) {
    Frame window(kLayout);
    const Platform::WindowHandle handle = OpenShown(window);
    const std::string actions = MoveTo(window, Centre(window, L"ok")) + " click 1 key Escape " +
                                MoveTo(window, Centre(window, L"edit")) +
                                " click 1 sleep 0.1 type --delay 30 'abc中文'";
    ASSERT_EQ(RunWhilePumping(Xdotool(actions)), 0);
    EXPECT_TRUE(PumpUntil([&] { return window.Find(L"edit")->GetText() == L"abc中文"; }))
        << "edit holds " << window.Find(L"edit")->GetText().size() << " characters";
    EXPECT_TRUE(Platform::IsWindow(handle));
    std::vector<std::wstring> clicked;
    for (const Note& note : window.NotesOf(L"click"))
        clicked.push_back(note.sender);
    EXPECT_EQ(clicked, (std::vector<std::wstring>{L"ok"}));
    EXPECT_FALSE(window.NotesOf(L"textchanged").empty());
}

TEST(X11Window, AModalWindowDisablesItsOwnerUntilItCloses) {
    Plain owner(kLayout);
    const Platform::WindowHandle ownerWindow = OpenShown(owner, 100, 100);
    const Point ownerButton = owner.Screen(Centre(owner, L"ok"));
    Plain dialog(LR"(<Window size="200,100"><VerticalLayout bkcolor="#FF000000"/></Window>)");
    const Platform::WindowHandle dialogWindow =
        dialog.Create(ownerWindow, L"tip", Platform::Style::kPopup, 0, {700, 500, 710, 510});
    const Window dialogNative = Native(dialogWindow);
    const std::string display = Server().displayName();
    // Acts once the dialog is on the screen: clicks the owner (nothing happens), then presses Escape.
    std::thread user([=] {
        ::Display* connection = XOpenDisplay(display.c_str());
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        XWindowAttributes attributes{};
        while (std::chrono::steady_clock::now() < deadline &&
               !(XGetWindowAttributes(connection, dialogNative, &attributes) &&
                 attributes.map_state == IsViewable))
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        XCloseDisplay(connection);
        std::system(Xdotool("sleep 0.2 mousemove " + std::to_string(ownerButton.x) + " " +
                            std::to_string(ownerButton.y) + " click 1 sleep 0.2 windowfocus --sync " +
                            std::to_string(dialogNative) + " key Escape")
                        .c_str());
    });
    const unsigned result = dialog.ShowModal();
    user.join();
    EXPECT_EQ(result, 1u);
    PumpReady();
    EXPECT_TRUE(owner.NotesOf(L"click").empty());
    EXPECT_TRUE(Platform::IsWindowEnabled(ownerWindow));

    // Enabled again, the owner takes clicks.
    ASSERT_EQ(RunWhilePumping(Xdotool(MoveTo(owner, Centre(owner, L"ok")) + " click 1")), 0);
    EXPECT_TRUE(PumpUntil([&] { return owner.NotesOf(L"click").size() == 1; }));
}

namespace {

// Records the messages another program or thread sends it.
class Listening : public Frame {
public:
    using Frame::Frame;
    std::vector<std::pair<unsigned, Platform::WParam>> received;

protected:
    Platform::LResult HandleCustomMessage(unsigned message, Platform::WParam wParam, Platform::LParam lParam,
                                          bool& handled) override {
        if (message == Platform::Msg::kUser + 200 || message == Platform::Msg::kUser + 1000) {
            received.emplace_back(message, wParam);
            return 0;
        }
        return Frame::HandleCustomMessage(message, wParam, lParam, handled);
    }
};

} // namespace

TEST(X11Window, MessagesFromAnotherThreadAndAnotherProgramArriveInOrder) {
    Listening window(kLayout);
    const Platform::WindowHandle handle = OpenShown(window);
    std::thread poster([handle] {
        for (int i = 1; i <= 20; ++i)
            Platform::PostMessage(handle, Platform::Msg::kUser + 1000, static_cast<Platform::WParam>(i));
    });
    std::string command;
    for (int i = 1; i <= 5; ++i)
        command += TestSupport::BinPath("x11-send-message").string() + " " + std::to_string(Native(handle)) +
                   " 1224 " + std::to_string(i) + " 0 && ";
    ASSERT_EQ(RunWhilePumping(command + "true"), 0);
    poster.join();
    ASSERT_TRUE(PumpUntil([&] { return window.received.size() == 25; }));
    std::vector<Platform::WParam> fromThread, fromProgram;
    for (const auto& [message, wParam] : window.received)
        (message == Platform::Msg::kUser + 200 ? fromProgram : fromThread).push_back(wParam);
    EXPECT_EQ(fromProgram, (std::vector<Platform::WParam>{1, 2, 3, 4, 5}));
    ASSERT_EQ(fromThread.size(), 20u);
    for (size_t i = 0; i < fromThread.size(); ++i)
        EXPECT_EQ(fromThread[i], i + 1);
}

TEST(X11Window, MinimiseAndRestore) {
    Frame window(kLayout);
    const Platform::WindowHandle handle = OpenShown(window);
    Platform::ShowWindow(handle, Platform::Show::kMinimize);
    EXPECT_TRUE(PumpUntil([&] { return !IsShown(handle); }));
    EXPECT_TRUE(Platform::IsIconic(handle));
    Platform::ShowWindow(handle, Platform::Show::kRestore);
    EXPECT_TRUE(PumpUntil([&] { return IsShown(handle); }));
    EXPECT_FALSE(Platform::IsIconic(handle));

    if (Server().desktop() == XServer::Desktop::Bare)
        return;
    // The desktop minimises the window (as a task bar does): the window system learns of it. A user
    // does so long after the window manager marked the restored window normal and the program saw it.
    const Atom wmState = XInternAtom(Observer(), "WM_STATE", False);
    ASSERT_TRUE(PumpUntil([&] {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        XGetWindowProperty(Observer(), Native(handle), wmState, 0, 2, False, wmState, &type, &format, &count,
                           &after, &data);
        const bool normal = data && count >= 1 && *reinterpret_cast<long*>(data) == NormalState;
        if (data)
            XFree(data);
        return normal;
    }));
    Backend().sync();
    PumpReady();
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = Native(handle);
    event.xclient.message_type = XInternAtom(Observer(), "WM_CHANGE_STATE", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = IconicState;
    XSendEvent(Observer(), DefaultRootWindow(Observer()), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(Observer());
    EXPECT_TRUE(PumpUntil([&] { return Platform::IsIconic(handle); }));
}

TEST(X11Window, TheScreenShowsTheWindowsOwnPixels) {
    Frame window(kLayout);
    const Platform::WindowHandle handle = OpenShown(window);
    // Let every exposure and paint land.
    PumpUntil([] { return false; }, 300);
    const Rect rect = Platform::GetWindowRect(handle);
    const std::vector<std::uint32_t> screen = Screenshot(rect);
    const Platform::Surface* pixels = Platform::GetWindowPixels(handle);
    const auto region = Platform::GetWindowRegion(handle);
    ASSERT_TRUE(pixels && region);
    ASSERT_EQ(screen.size(), static_cast<size_t>(rect.width() * rect.height()));
    int compared = 0, different = 0;
    for (int y = 0; y < rect.height(); ++y) {
        for (int x = 0; x < rect.width(); ++x) {
            if (!region->contains({x, y}))
                continue;
            ++compared;
            different +=
                screen[static_cast<size_t>(y * rect.width() + x)] != (pixels->pixel(x, y) & 0xFFFFFF);
        }
    }
    EXPECT_GT(compared, 60000);
    EXPECT_EQ(different, 0);
}

TEST(X11Window, TheIconComesFromTheEmbeddedIconResource) {
    // The icon is there before the window shows, as the installer's windows set it: a window manager
    // gives a window without one its own.
    Plain window(kLayout);
    const Platform::WindowHandle handle =
        window.Create(Platform::kNoWindow, L"icon", Platform::Style::kPopup, 0, {200, 150, 210, 160});
    ASSERT_TRUE(UiLib::SetWindowIconFromResource(handle, 145));
    EXPECT_FALSE(UiLib::SetWindowIconFromResource(handle, 146));
    window.ShowWindow();
    ASSERT_TRUE(PumpUntil([&] { return IsShown(handle); }));
    Backend().sync();
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    ASSERT_EQ(XGetWindowProperty(Observer(), Native(handle), XInternAtom(Observer(), "_NET_WM_ICON", False),
                                 0, 64, False, XA_CARDINAL, &type, &format, &count, &after, &data),
              Success);
    ASSERT_NE(data, nullptr);
    const long* icon = reinterpret_cast<long*>(data);
    // The fixture's 3 x 1 opaque picture: width, height, then three opaque pixels.
    ASSERT_EQ(count, 5u);
    EXPECT_EQ(icon[0], 3);
    EXPECT_EQ(icon[1], 1);
    for (int i = 2; i < 5; ++i)
        EXPECT_EQ((static_cast<unsigned long>(icon[i]) & 0xFFFFFFFFu) >> 24, 0xFFu); // 32-bit values in longs
    XFree(data);
}

TEST(X11Window, AShadowOnlyWithACompositorBehindTheWindowAndClickThrough) {
    // A button filling a window; the shadowed window opens right of it so that its shadow lies over
    // the button's right edge.
    Plain below(
        LR"(<Window size="200,100"><VerticalLayout><Button name="ok" bkcolor="#FF808080"/></VerticalLayout></Window>)");
    const Platform::WindowHandle belowWindow = OpenShown(below, 100, 100);
    Frame shadowed(LR"(<Window size="200,100" roundcorner="4,4" showshadow="true" shadowsize="6"
        shadowsharpness="10" shadowdarkness="20" shadowposition="1,1" shadowcolor="#26003B76">
        <VerticalLayout bkcolor="#FFFFFFFF"/></Window>)");
    const Platform::WindowHandle handle = OpenShown(shadowed, 302, 100);
    const unsigned long shadow = Backend().shadowWindow(handle);
    if (Server().desktop() != XServer::Desktop::Composited) {
        EXPECT_EQ(shadow, 0u);
        return;
    }
    ASSERT_NE(shadow, 0u);
    ASSERT_TRUE(PumpUntil([&] {
        XWindowAttributes attributes{};
        return XGetWindowAttributes(Observer(), shadow, &attributes) && attributes.map_state == IsViewable;
    }));
    XWindowAttributes attributes{};
    XGetWindowAttributes(Observer(), shadow, &attributes);
    EXPECT_EQ(attributes.x, 302 - 5);
    EXPECT_EQ(attributes.y, 100 - 5);
    EXPECT_EQ(attributes.width, 212);
    EXPECT_EQ(attributes.height, 112);
    EXPECT_EQ(attributes.depth, 32);

    // A click on the button under the shadow reaches the button.
    ASSERT_EQ(RunWhilePumping(Xdotool("mousemove 299 150 click 1")), 0);
    EXPECT_TRUE(PumpUntil([&] { return below.NotesOf(L"click").size() == 1; }));
    (void)belowWindow;
}

TEST(X11Window, BringingAWindowToTheFrontShowsItOverTheOther) {
    Plain red(LR"(<Window size="200,100"><VerticalLayout bkcolor="#FFFF0000"/></Window>)");
    Plain green(LR"(<Window size="200,100"><VerticalLayout bkcolor="#FF00FF00"/></Window>)");
    const Platform::WindowHandle redWindow = OpenShown(red, 400, 400);
    OpenShown(green, 450, 420);
    auto overlap = [] { return Screenshot({500, 450, 501, 451}).front(); };
    ASSERT_TRUE(PumpUntil([&] { return overlap() == 0x00FF00u; }));
    Platform::SetForegroundWindow(redWindow);
    EXPECT_TRUE(PumpUntil([&] { return overlap() == 0xFF0000u; })) << std::hex << overlap();
}

TEST(X11Window, TheClipboardGoesBothWaysWithOtherPrograms) {
    Frame window(kLayout);
    OpenShown(window);
    ::Display* other = Observer();
    const Atom clipboard = XInternAtom(other, "CLIPBOARD", False);
    const Atom utf8 = XInternAtom(other, "UTF8_STRING", False);
    const Atom property = XInternAtom(other, "TEST_PASTE", False);
    const Window requestor = XCreateSimpleWindow(other, DefaultRootWindow(other), 0, 0, 1, 1, 0, 0, 0);

    // Ours, read by another program. Requests of two connections reach the server in no set order:
    // ours must have been carried out before the other program asks.
    Platform::SetClipboardText(L"复制 text");
    Backend().sync();
    XConvertSelection(other, clipboard, utf8, property, requestor, CurrentTime);
    XFlush(other);
    XEvent event;
    ASSERT_TRUE(PumpUntil([&] { return XCheckTypedWindowEvent(other, requestor, SelectionNotify, &event); }));
    ASSERT_EQ(event.xselection.property, property);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(other, requestor, property, 0, 1024, True, AnyPropertyType, &type, &format, &count,
                       &after, &data);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), count), "复制 text");
    XFree(data);
    XDestroyWindow(other, requestor);

    // Another program's, read by us: it answers from its own thread and connection.
    const std::string displayName = Server().displayName();
    std::atomic<bool> owning{false}, done{false};
    std::thread owner([&] {
        ::Display* connection = XOpenDisplay(displayName.c_str());
        const Window window =
            XCreateSimpleWindow(connection, DefaultRootWindow(connection), 0, 0, 1, 1, 0, 0, 0);
        const Atom board = XInternAtom(connection, "CLIPBOARD", False);
        XSetSelectionOwner(connection, board, window, CurrentTime);
        XSync(connection, False);
        owning = true;
        while (!done) {
            while (XPending(connection)) {
                XEvent request;
                XNextEvent(connection, &request);
                if (request.type != SelectionRequest)
                    continue;
                const std::string text = "粘贴 paste";
                XChangeProperty(connection, request.xselectionrequest.requestor,
                                request.xselectionrequest.property, request.xselectionrequest.target, 8,
                                PropModeReplace, reinterpret_cast<const unsigned char*>(text.data()),
                                static_cast<int>(text.size()));
                XEvent reply{};
                reply.xselection.type = SelectionNotify;
                reply.xselection.requestor = request.xselectionrequest.requestor;
                reply.xselection.selection = request.xselectionrequest.selection;
                reply.xselection.target = request.xselectionrequest.target;
                reply.xselection.property = request.xselectionrequest.property;
                XSendEvent(connection, reply.xselection.requestor, False, 0, &reply);
                XFlush(connection);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        XDestroyWindow(connection, window);
        XCloseDisplay(connection);
    });
    while (!owning)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(Platform::GetClipboardText(), std::optional<std::wstring>(L"粘贴 paste"));
    done = true;
    owner.join();
}
