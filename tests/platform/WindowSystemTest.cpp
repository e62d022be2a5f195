#include "platform/window/WindowSystem.h"

#include "platform/Canvas.h"
#include "platform/display/headless/HeadlessDisplay.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <semaphore>
#include <thread>
#include <utility>
#include <vector>

using namespace Platform;
using namespace std::chrono_literals;
using TestSupport::WaitUntil;

namespace Platform {
void PrintTo(const Point& point, std::ostream* out) {
    *out << "(" << point.x << ", " << point.y << ")";
}
void PrintTo(const Rect& rect, std::ostream* out) {
    *out << "{" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << "}";
}
} // namespace Platform

namespace {

struct Seen {
    WindowHandle window = kNoWindow;
    unsigned message = 0;
    WParam wParam = 0;
    LParam lParam = 0;
};

// Every message the test's windows received, in the order they received it. A window thread writes
// while the test thread reads.
class Journal {
public:
    void add(const Seen& seen) {
        std::lock_guard lock(m_Lock);
        m_Seen.push_back(seen);
    }
    void clear() {
        std::lock_guard lock(m_Lock);
        m_Seen.clear();
    }
    std::vector<Seen> all() const {
        std::lock_guard lock(m_Lock);
        return m_Seen;
    }
    // The window's messages among `wanted` (all of them when empty).
    std::vector<Seen> of(WindowHandle window, std::initializer_list<unsigned> wanted = {}) const {
        std::vector<Seen> found;
        for (const Seen& seen : all())
            if (seen.window == window &&
                (wanted.size() == 0 || std::find(wanted.begin(), wanted.end(), seen.message) != wanted.end()))
                found.push_back(seen);
        return found;
    }
    std::vector<unsigned> sequence(WindowHandle window, std::initializer_list<unsigned> wanted = {}) const {
        std::vector<unsigned> messages;
        for (const Seen& seen : of(window, wanted))
            messages.push_back(seen.message);
        return messages;
    }
    std::size_t count(WindowHandle window, unsigned message) const { return of(window, {message}).size(); }
    bool has(WindowHandle window, unsigned message, LParam lParam) const {
        for (const Seen& seen : of(window, {message}))
            if (seen.lParam == lParam)
                return true;
        return false;
    }

private:
    mutable std::mutex m_Lock;
    std::vector<Seen> m_Seen;
};

// How a test window answers a message itself; nullopt leaves it to DefWindowProc.
using Answer = std::function<std::optional<LResult>(WindowHandle, unsigned, WParam, LParam)>;

class Recorder final : public WindowProcedure {
public:
    Recorder(Journal& journal, Answer answer) : m_Journal(journal), m_Answer(std::move(answer)) {}

    LResult HandleWindowMessage(WindowHandle window, unsigned message, WParam wParam,
                                LParam lParam) override {
        m_Journal.add({window, message, wParam, lParam});
        if (m_Answer)
            if (std::optional<LResult> answer = m_Answer(window, message, wParam, lParam))
                return *answer;
        return DefWindowProc(window, message, wParam, lParam);
    }

private:
    Journal& m_Journal;
    Answer m_Answer;
};

// Dispatches what the calling thread has ready now: posted messages, queued input, paints, due timers.
void PumpReady() {
    Message message;
    for (int taken = 0; taken < 100000 && PeekMessage(message); ++taken)
        DispatchMessage(message);
}

// Dispatches the calling thread's messages until `done` holds; false when the deadline passes first.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds deadline = 10s) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    Message message;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        if (PeekMessage(message))
            DispatchMessage(message);
        else
            std::this_thread::sleep_for(1ms);
    }
    return true;
}

// A thread that owns windows and waits in its own message loop, as the installer's window thread
// does; the test thread hands it work and drives the display meanwhile.
class UiThread {
public:
    UiThread() : m_Thread([this] { loop(); }) { m_Ready.acquire(); }
    ~UiThread() {
        run([] { PostQuitMessage(0); });
        m_Thread.join();
    }

    // Runs `work` on the window thread between two of its messages and waits for it.
    void run(const std::function<void()>& work) {
        std::promise<void> done;
        std::future<void> finished = done.get_future();
        Work item{&work, &done};
        if (!PostMessage(m_Courier, kRun, 0, reinterpret_cast<LParam>(&item)) ||
            finished.wait_for(10s) != std::future_status::ready) {
            // `item` lives on this stack: going on would leave the window thread a dangling task.
            std::fputs("the window thread stopped answering\n", stderr);
            std::abort();
        }
    }

private:
    static constexpr unsigned kRun = Msg::kUser + 900;
    struct Work {
        const std::function<void()>* work;
        std::promise<void>* done;
    };
    class Courier final : public WindowProcedure {
    public:
        LResult HandleWindowMessage(WindowHandle window, unsigned message, WParam wParam,
                                    LParam lParam) override {
            if (message != kRun)
                return DefWindowProc(window, message, wParam, lParam);
            auto* item = reinterpret_cast<Work*>(lParam);
            (*item->work)();
            item->done->set_value();
            return 0;
        }
    };

    void loop() {
        Courier courier;
        WindowOptions options;
        options.className = L"Courier";
        options.rect = {0, 0, 1, 1};
        m_Courier = CreateNativeWindow(options, courier);
        m_Ready.release();
        Message message;
        while (GetMessage(message))
            DispatchMessage(message);
        // Windows a failed test left here go with the thread (DestroyNativeWindow ignores other threads').
        for (WindowHandle window : HeadlessDisplay::Current().stackingOrder())
            DestroyNativeWindow(window);
    }

    WindowHandle m_Courier = kNoWindow;
    std::binary_semaphore m_Ready{0};
    std::thread m_Thread; // last: the members above exist before the thread starts
};

} // namespace

// Windows on the test's thread unless a test says otherwise; the fixture owns their procedures, so a
// window is always destroyed before its procedure, also when a test stops early.
class WindowSystemTest : public testing::Test {
protected:
    HeadlessDisplay& display = HeadlessDisplay::Current();
    Journal journal;

    WindowHandle open(const Rect& rect, Answer answer = {}, WindowHandle owner = kNoWindow,
                      bool visible = true) {
        Recorder* recorder;
        {
            std::lock_guard lock(m_ProceduresLock);
            recorder =
                m_Procedures.emplace_back(std::make_unique<Recorder>(journal, std::move(answer))).get();
        }
        WindowOptions options;
        options.className = L"TestWindow";
        options.rect = rect;
        options.owner = owner;
        options.style = Style::kPopup | (visible ? Style::kVisible : 0);
        return CreateNativeWindow(options, *recorder);
    }

    void TearDown() override {
        for (WindowHandle window : display.stackingOrder())
            DestroyNativeWindow(window);
        PumpReady();
        EXPECT_TRUE(display.stackingOrder().empty()) << "another thread left windows behind";
    }

private:
    std::mutex m_ProceduresLock;
    std::vector<std::unique_ptr<Recorder>> m_Procedures;
};

// --- Queues and loops ---

TEST_F(WindowSystemTest, PostedMessagesKeepThePostingOrderOfEveryThread) {
    const WindowHandle window = open({0, 0, 100, 100}, {}, kNoWindow, false);

    // Turn by turn, another thread first: the queue must hold them alternating.
    constexpr WParam kTurns = 50;
    std::binary_semaphore theirTurn{1};
    std::binary_semaphore ourTurn{0};
    std::thread other([&] {
        for (WParam turn = 0; turn < kTurns; ++turn) {
            theirTurn.acquire();
            PostMessage(window, Msg::kUser, turn);
            ourTurn.release();
        }
    });
    for (WParam turn = 0; turn < kTurns; ++turn) {
        ourTurn.acquire();
        PostMessage(window, Msg::kUser + 1, turn);
        theirTurn.release();
    }
    other.join();

    // Both at once: each thread's messages stay in their own order.
    constexpr WParam kBulk = 2000;
    std::thread bulk([&] {
        for (WParam index = 0; index < kBulk; ++index)
            PostMessage(window, Msg::kUser + 2, index);
    });
    for (WParam index = 0; index < kBulk; ++index)
        PostMessage(window, Msg::kUser + 3, index);
    bulk.join();

    PumpReady();
    const std::vector<Seen> turns = journal.of(window, {Msg::kUser, Msg::kUser + 1});
    ASSERT_EQ(turns.size(), 2 * kTurns);
    for (WParam index = 0; index < turns.size(); ++index) {
        EXPECT_EQ(turns[index].message, Msg::kUser + index % 2) << "message " << index;
        EXPECT_EQ(turns[index].wParam, index / 2) << "message " << index;
    }
    for (unsigned message : {Msg::kUser + 2, Msg::kUser + 3}) {
        const std::vector<Seen> stream = journal.of(window, {message});
        ASSERT_EQ(stream.size(), kBulk);
        for (WParam index = 0; index < kBulk; ++index)
            ASSERT_EQ(stream[index].wParam, index) << "message " << message;
    }

    // A message queued before the window's end reaches nobody; after it, posting fails.
    EXPECT_TRUE(PostMessage(window, Msg::kUser + 4));
    EXPECT_TRUE(DestroyNativeWindow(window));
    EXPECT_FALSE(PostMessage(window, Msg::kUser + 5));
    PumpReady();
    EXPECT_EQ(journal.sequence(window).back(), Msg::kNcDestroy);
}

TEST_F(WindowSystemTest, MessagesComePostedThenInputThenQuitThenPaintThenTimers) {
    const WindowHandle window = open({100, 100, 300, 200});
    PumpReady(); // the first paint

    // Queued in the opposite order, all ready at once.
    ASSERT_TRUE(SetTimer(window, 1, 1));
    InvalidateRect(window);
    PostQuitMessage(3);
    display.click({150, 150});
    ASSERT_TRUE(PostMessage(window, Msg::kUser, 1));
    std::this_thread::sleep_for(5ms); // the timer's period passes, so it is due too

    std::vector<unsigned> taken;
    Message message;
    while (GetMessage(message)) {
        taken.push_back(message.message);
        DispatchMessage(message);
    }
    EXPECT_EQ(taken,
              (std::vector<unsigned>{Msg::kUser, Msg::kMouseMove, Msg::kLButtonDown, Msg::kLButtonUp}));
    EXPECT_EQ(message.message, Msg::kQuit);
    EXPECT_EQ(message.wParam, 3u);

    ASSERT_TRUE(GetMessage(message));
    EXPECT_EQ(message.message, Msg::kPaint);
    DispatchMessage(message);
    ASSERT_TRUE(GetMessage(message));
    EXPECT_EQ(message.message, Msg::kTimer);
    EXPECT_EQ(message.window, window);
    EXPECT_TRUE(KillTimer(window, 1));
}

TEST_F(WindowSystemTest, AThreadWaitingForMessagesWakesForPostsFromOtherThreads) {
    UiThread ui;
    WindowHandle window = kNoWindow;
    ui.run([&] { window = open({0, 0, 100, 100}, {}, kNoWindow, false); });
    ASSERT_NE(window, kNoWindow);
    EXPECT_TRUE(IsWindow(window));

    // One at a time, so that every post finds the thread asleep.
    for (WParam index = 0; index < 20; ++index) {
        ASSERT_TRUE(PostMessage(window, Msg::kUser, index));
        ASSERT_TRUE(WaitUntil([&] { return journal.count(window, Msg::kUser) == index + 1; }));
    }
    // A burst.
    for (WParam index = 20; index < 520; ++index)
        ASSERT_TRUE(PostMessage(window, Msg::kUser, index));
    ASSERT_TRUE(WaitUntil([&] { return journal.count(window, Msg::kUser) == 520; }));
    const std::vector<Seen> posted = journal.of(window, {Msg::kUser});
    for (WParam index = 0; index < posted.size(); ++index)
        ASSERT_EQ(posted[index].wParam, index);

    // Sending is for the window's own thread; another thread gets 0 and the window nothing.
    EXPECT_EQ(SendMessage(window, Msg::kUser + 1), 0);

    ui.run([&] { DestroyNativeWindow(window); });
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(PostMessage(window, Msg::kUser));
    EXPECT_EQ(journal.count(window, Msg::kUser + 1), 0u);
}

TEST_F(WindowSystemTest, ALoopInsideAHandlerSeesLaterMessagesAndHandsOnTheQuit) {
    constexpr unsigned kFirstLoop = Msg::kUser + 1; // runs a loop until kEndFirst
    constexpr unsigned kEndFirst = Msg::kUser + 2;
    constexpr unsigned kSecondLoop = Msg::kUser + 3; // runs a loop that only the quit ends
    constexpr unsigned kAskQuit = Msg::kUser + 4;
    constexpr unsigned kQueued = Msg::kUser + 5;
    int depth = 0;
    std::vector<std::pair<unsigned, int>> handled; // message, depth of the loop that took it
    WindowHandle window = kNoWindow;

    // Like a modal loop: the message that ends it is posted from another thread once the handler runs.
    auto innerLoop = [&](unsigned until, unsigned posted) {
        ++depth;
        std::thread poster([&window, posted] { PostMessage(window, posted); });
        Message message;
        while (true) {
            if (!GetMessage(message)) {
                PostQuitMessage(static_cast<int>(message.wParam));
                break;
            }
            DispatchMessage(message);
            if (message.message == until)
                break;
        }
        poster.join();
        --depth;
    };
    window = open(
        {0, 0, 100, 100},
        [&](WindowHandle, unsigned message, WParam, LParam) -> std::optional<LResult> {
            if (message < Msg::kUser)
                return std::nullopt;
            handled.emplace_back(message, depth);
            if (message == kFirstLoop)
                innerLoop(kEndFirst, kEndFirst);
            else if (message == kSecondLoop)
                innerLoop(0, kAskQuit);
            else if (message == kAskQuit)
                PostQuitMessage(9);
            return 0;
        },
        kNoWindow, false);

    Message message;
    ASSERT_TRUE(PostMessage(window, kFirstLoop));
    ASSERT_TRUE(GetMessage(message));
    DispatchMessage(message);
    EXPECT_EQ(handled, (std::vector<std::pair<unsigned, int>>{{kFirstLoop, 0}, {kEndFirst, 1}}));

    handled.clear();
    ASSERT_TRUE(PostMessage(window, kSecondLoop));
    ASSERT_TRUE(PostMessage(window, kQueued));
    ASSERT_TRUE(GetMessage(message));
    DispatchMessage(message);
    EXPECT_EQ(handled,
              (std::vector<std::pair<unsigned, int>>{{kSecondLoop, 0}, {kQueued, 1}, {kAskQuit, 1}}));
    // The inner loop took the quit and posted it again: the outer loop ends with the same code.
    EXPECT_FALSE(GetMessage(message));
    EXPECT_EQ(message.wParam, 9u);
}

// --- Timers ---

TEST_F(WindowSystemTest, TimersRepeatWithTheirIdUntilKilledAndSettingAnIdAgainReplacesItsPeriod) {
    const WindowHandle window = open({0, 0, 100, 100}, {}, kNoWindow, false);
    auto ticks = [&](WParam id) {
        std::size_t count = 0;
        for (const Seen& seen : journal.of(window, {Msg::kTimer}))
            count += seen.wParam == id;
        return count;
    };

    ASSERT_TRUE(SetTimer(window, 7, 10));
    ASSERT_TRUE(PumpUntil([&] { return ticks(7) >= 3; }));
    EXPECT_EQ(ticks(7), journal.count(window, Msg::kTimer));

    // A period of a minute, replaced by one of 10 ms: ticks come within the deadline.
    ASSERT_TRUE(SetTimer(window, 8, 60000));
    ASSERT_TRUE(SetTimer(window, 8, 10));
    ASSERT_TRUE(PumpUntil([&] { return ticks(8) >= 2; }));

    EXPECT_TRUE(KillTimer(window, 7));
    EXPECT_FALSE(KillTimer(window, 7));
    const std::size_t killedAt = ticks(7);
    const std::size_t other = ticks(8);
    ASSERT_TRUE(PumpUntil([&] { return ticks(8) >= other + 5; }));
    EXPECT_EQ(ticks(7), killedAt);
    EXPECT_TRUE(KillTimer(window, 8));
}

// --- Input ---

TEST_F(WindowSystemTest, AClickIsHitTestedOnTheScreenThenGivenInClientCoordinates) {
    const WindowHandle window = open({100, 50, 300, 150});
    PumpReady();
    journal.clear();

    display.click({150, 80});
    PumpReady();
    const std::vector<Seen> left = journal.of(window, {Msg::kNcHitTest, Msg::kLButtonDown, Msg::kLButtonUp});
    ASSERT_EQ(left.size(), 3u);
    EXPECT_EQ(left[0].message, Msg::kNcHitTest);
    EXPECT_EQ(UnpackPoint(left[0].lParam), (Point{150, 80}));
    EXPECT_EQ(left[1].message, Msg::kLButtonDown);
    EXPECT_EQ(UnpackPoint(left[1].lParam), (Point{50, 30}));
    EXPECT_TRUE(left[1].wParam & MouseKey::kLButton);
    EXPECT_EQ(left[2].message, Msg::kLButtonUp);
    EXPECT_EQ(UnpackPoint(left[2].lParam), (Point{50, 30}));

    journal.clear();
    display.click({299, 149}, 3);
    PumpReady();
    const std::vector<Seen> right = journal.of(window, {Msg::kNcHitTest, Msg::kRButtonDown, Msg::kRButtonUp});
    ASSERT_EQ(right.size(), 3u);
    EXPECT_EQ(right[0].message, Msg::kNcHitTest);
    EXPECT_EQ(right[1].message, Msg::kRButtonDown);
    EXPECT_EQ(UnpackPoint(right[1].lParam), (Point{199, 99}));
    EXPECT_EQ(right[2].message, Msg::kRButtonUp);
}

TEST_F(WindowSystemTest, DraggingTheCaptionMovesTheWindowWithThePointerUntilRelease) {
    // The top 20 pixels are the caption; the window lives on its own thread, the test is the user.
    const Answer caption = [](WindowHandle window, unsigned message, WParam,
                              LParam lParam) -> std::optional<LResult> {
        if (message == Msg::kNcHitTest && ScreenToClient(window, UnpackPoint(lParam)).y < 20)
            return HitTest::kCaption;
        return std::nullopt;
    };
    UiThread ui;
    WindowHandle window = kNoWindow;
    ui.run([&] { window = open({100, 100, 300, 200}, caption); });
    auto movedTo = [&](Point corner) {
        return WaitUntil([&] { return journal.has(window, Msg::kMove, PackPoint(corner)); });
    };

    display.movePointer({150, 110});
    display.pressButton();
    display.movePointer({180, 150});
    EXPECT_TRUE(movedTo({130, 140}));
    display.movePointer({160, 90});
    EXPECT_TRUE(movedTo({110, 80}));
    display.releaseButton();
    display.movePointer({400, 400});
    // A click in the client area at the new place: once it arrives, everything before it was handled.
    display.click({200, 150});
    ASSERT_TRUE(WaitUntil([&] { return journal.count(window, Msg::kLButtonUp) == 1; }));

    Rect rect;
    ui.run([&] { rect = GetWindowRect(window); });
    EXPECT_EQ(rect, (Rect{110, 80, 310, 180}));
    EXPECT_EQ(display.windowAt({305, 175}), window);
    EXPECT_EQ(display.windowAt({105, 185}), kNoWindow);
    EXPECT_EQ(journal.count(window, Msg::kNcLButtonDown), 1u);
    // The caption's press and release went to the move, not to the window as client clicks.
    EXPECT_EQ(journal.count(window, Msg::kLButtonDown), 1u);
    ui.run([&] { DestroyNativeWindow(window); });
}

TEST_F(WindowSystemTest, ADisabledWindowGetsNoMouseOrKeyInput) {
    const WindowHandle window = open({100, 100, 300, 200});
    PumpReady();
    EXPECT_FALSE(EnableWindow(window, false)); // it was enabled
    const std::vector<Seen> enable = journal.of(window, {Msg::kEnable});
    ASSERT_EQ(enable.size(), 1u);
    EXPECT_EQ(enable[0].wParam, 0u);
    journal.clear();

    display.click({150, 150});
    display.tapKey('A');
    display.typeText(L"a");
    PumpReady();
    EXPECT_EQ(journal.sequence(window, {Msg::kMouseMove, Msg::kNcHitTest, Msg::kLButtonDown, Msg::kLButtonUp,
                                        Msg::kKeyDown, Msg::kKeyUp, Msg::kChar}),
              std::vector<unsigned>{});

    EXPECT_TRUE(EnableWindow(window, true));
    display.click({150, 150});
    display.typeText(L"a");
    PumpReady();
    EXPECT_EQ(journal.sequence(window, {Msg::kLButtonDown, Msg::kLButtonUp, Msg::kChar}),
              (std::vector<unsigned>{Msg::kLButtonDown, Msg::kLButtonUp, Msg::kChar}));
}

TEST_F(WindowSystemTest, AClickOutsideARoundedRegionPassesThroughTheCorner) {
    // `behind` lies under the bottom-right corner only.
    const WindowHandle behind = open({250, 150, 400, 300});
    const WindowHandle rounded = open({100, 100, 300, 200});
    SetWindowRegion(rounded, WindowRegion{{200, 100}, 40, 40});
    PumpReady();
    journal.clear();
    const std::initializer_list<unsigned> pointer{Msg::kMouseMove, Msg::kNcHitTest, Msg::kLButtonDown,
                                                  Msg::kLButtonUp};

    display.click({101, 101}); // top-left corner, nothing below
    PumpReady();
    EXPECT_EQ(display.windowAt({101, 101}), kNoWindow);
    EXPECT_TRUE(journal.of(rounded, pointer).empty());
    EXPECT_TRUE(journal.of(behind, pointer).empty());

    display.click({298, 198}); // bottom-right corner, over `behind`
    PumpReady();
    EXPECT_TRUE(journal.of(rounded, pointer).empty());
    const std::vector<Seen> down = journal.of(behind, {Msg::kLButtonDown});
    ASSERT_EQ(down.size(), 1u);
    EXPECT_EQ(UnpackPoint(down[0].lParam), (Point{48, 48}));

    display.click({110, 110}); // inside the curve
    PumpReady();
    EXPECT_EQ(journal.count(rounded, Msg::kLButtonDown), 1u);
}

TEST_F(WindowSystemTest, CaptureTakesTheMouseWhereverThePointerIs) {
    const WindowHandle capturing = open({100, 100, 200, 200});
    const WindowHandle other = open({300, 100, 400, 200});
    PumpReady();
    journal.clear();

    SetCapture(capturing);
    EXPECT_EQ(GetCapture(), capturing);
    display.click({350, 150}); // over the other window
    display.click({50, 150});  // over no window
    PumpReady();
    EXPECT_TRUE(journal.of(other, {Msg::kMouseMove, Msg::kNcHitTest, Msg::kLButtonDown}).empty());
    const std::vector<Seen> downs = journal.of(capturing, {Msg::kLButtonDown, Msg::kLButtonDblClk});
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ(UnpackPoint(downs[0].lParam), (Point{250, 50}));
    EXPECT_EQ(UnpackPoint(downs[1].lParam), (Point{-50, 50}));
    EXPECT_EQ(journal.count(capturing, Msg::kLButtonUp), 2u);
    EXPECT_EQ(journal.count(capturing, Msg::kNcHitTest), 0u) << "captured input is client input";

    EXPECT_TRUE(ReleaseCapture());
    EXPECT_EQ(journal.count(capturing, Msg::kCaptureChanged), 1u);
    display.click({350, 150});
    PumpReady();
    EXPECT_EQ(journal.count(other, Msg::kLButtonDown), 1u);
}

TEST_F(WindowSystemTest, KeysAndTypedTextGoToTheFocusedWindow) {
    const WindowHandle first = open({100, 100, 200, 200});
    const WindowHandle second = open({300, 100, 400, 200});
    PumpReady();
    SetFocus(second);
    journal.clear();
    const std::initializer_list<unsigned> keys{Msg::kKeyDown, Msg::kKeyUp, Msg::kChar};
    auto keyMessages = [&](WindowHandle window) {
        std::vector<std::pair<unsigned, WParam>> found;
        for (const Seen& seen : journal.of(window, keys))
            found.emplace_back(seen.message, seen.wParam);
        return found;
    };

    display.pressKey(Key::kShift);
    display.typeText(L"a中文");
    PumpReady();
    EXPECT_TRUE(IsKeyDown(Key::kShift));
    display.releaseKey(Key::kShift);
    PumpReady();
    EXPECT_FALSE(IsKeyDown(Key::kShift));
    EXPECT_EQ(keyMessages(second), (std::vector<std::pair<unsigned, WParam>>{{Msg::kKeyDown, Key::kShift},
                                                                             {Msg::kChar, L'a'},
                                                                             {Msg::kChar, L'中'},
                                                                             {Msg::kChar, L'文'},
                                                                             {Msg::kKeyUp, Key::kShift}}));
    EXPECT_TRUE(keyMessages(first).empty());

    SetFocus(first);
    display.tapKey(Key::kReturn);
    PumpReady();
    EXPECT_EQ(keyMessages(first), (std::vector<std::pair<unsigned, WParam>>{{Msg::kKeyDown, Key::kReturn},
                                                                            {Msg::kKeyUp, Key::kReturn}}));

    // Hiding the focused window leaves no window with the keyboard.
    journal.clear();
    ShowWindow(first, Show::kHide);
    EXPECT_EQ(GetFocus(), kNoWindow);
    display.typeText(L"x");
    PumpReady();
    EXPECT_TRUE(keyMessages(first).empty());
    EXPECT_TRUE(keyMessages(second).empty());
}

TEST_F(WindowSystemTest, ASecondPressSoonAndCloseByIsADoubleClick) {
    const WindowHandle window = open({100, 100, 300, 200});
    PumpReady();
    journal.clear();
    auto press = [&](Point point) {
        display.click(point);
        PumpReady();
        return journal.of(window, {Msg::kLButtonDown, Msg::kLButtonDblClk}).back().message;
    };

    EXPECT_EQ(press({150, 150}), Msg::kLButtonDown);
    EXPECT_EQ(press({170, 150}), Msg::kLButtonDown) << "too far from the first press";
    EXPECT_EQ(press({172, 152}), Msg::kLButtonDblClk) << "within 4 pixels";
    EXPECT_EQ(press({172, 152}), Msg::kLButtonDown) << "a third press starts over";
    std::this_thread::sleep_for(600ms); // longer than the double-click time
    EXPECT_EQ(press({172, 152}), Msg::kLButtonDown) << "too late";
}

TEST_F(WindowSystemTest, AWindowLearnsWhenThePointerLeavesIt) {
    const WindowHandle first = open({100, 100, 200, 200});
    const WindowHandle second = open({300, 100, 400, 200});
    PumpReady();
    journal.clear();

    display.movePointer({150, 150});
    display.movePointer({160, 150});
    display.movePointer({350, 150});
    PumpReady();
    EXPECT_EQ(journal.sequence(first, {Msg::kMouseMove, Msg::kMouseLeave}),
              (std::vector<unsigned>{Msg::kMouseMove, Msg::kMouseMove, Msg::kMouseLeave}));
    EXPECT_EQ(journal.count(second, Msg::kMouseLeave), 0u);

    display.movePointer({600, 600});
    PumpReady();
    EXPECT_EQ(journal.count(second, Msg::kMouseLeave), 1u);
    EXPECT_EQ(journal.count(first, Msg::kMouseLeave), 1u);
}

// --- Lifetime ---

TEST_F(WindowSystemTest, DestroyingAWindowDestroysTheWindowsItOwnsFirst) {
    const Rect rect{0, 0, 50, 50};
    const WindowHandle owner = open(rect);
    const WindowHandle owned = open(rect, {}, owner);
    const WindowHandle ownedByOwned = open(rect, {}, owned);
    const WindowHandle unrelated = open(rect);
    journal.clear();

    EXPECT_TRUE(DestroyNativeWindow(owner));
    std::vector<std::pair<WindowHandle, unsigned>> ends;
    for (const Seen& seen : journal.all())
        if (seen.message == Msg::kDestroy || seen.message == Msg::kNcDestroy)
            ends.emplace_back(seen.window, seen.message);
    EXPECT_EQ(ends, (std::vector<std::pair<WindowHandle, unsigned>>{{ownedByOwned, Msg::kDestroy},
                                                                    {ownedByOwned, Msg::kNcDestroy},
                                                                    {owned, Msg::kDestroy},
                                                                    {owned, Msg::kNcDestroy},
                                                                    {owner, Msg::kDestroy},
                                                                    {owner, Msg::kNcDestroy}}));
    for (WindowHandle gone : {owner, owned, ownedByOwned}) {
        EXPECT_FALSE(IsWindow(gone));
        EXPECT_FALSE(PostMessage(gone, Msg::kUser));
        EXPECT_EQ(journal.sequence(gone).back(), Msg::kNcDestroy) << "nothing reaches a window after its end";
    }
    EXPECT_FALSE(DestroyNativeWindow(owner));
    EXPECT_TRUE(IsWindow(unrelated));
    EXPECT_EQ(display.stackingOrder(), std::vector<WindowHandle>{unrelated});

    // Handles are never given again: an old one stays dead when new windows come.
    const WindowHandle next = open(rect);
    for (WindowHandle gone : {owner, owned, ownedByOwned}) {
        EXPECT_NE(next, gone);
        EXPECT_FALSE(IsWindow(gone));
    }
}

TEST_F(WindowSystemTest, AProcedureRefusingCreationLeavesNoWindow) {
    const Answer refuse = [](WindowHandle, unsigned message, WParam, LParam) -> std::optional<LResult> {
        if (message == Msg::kCreate)
            return -1;
        return std::nullopt;
    };
    EXPECT_EQ(open({0, 0, 50, 50}, refuse), kNoWindow);
    const std::vector<Seen> seen = journal.all();
    ASSERT_FALSE(seen.empty());
    const WindowHandle refused = seen.front().window;
    EXPECT_EQ(journal.sequence(refused),
              (std::vector<unsigned>{Msg::kCreate, Msg::kDestroy, Msg::kNcDestroy}));
    EXPECT_FALSE(IsWindow(refused));
    EXPECT_TRUE(display.stackingOrder().empty());
}

// --- Painting and showing ---

TEST_F(WindowSystemTest, AnInvalidatedWindowGetsOnePaintOfItsDirtyAreaAndShowsItInsideItsRegion) {
    constexpr std::uint32_t kFill = 0xFF3366CC;
    std::vector<Rect> dirty;
    const WindowHandle window =
        open({100, 100, 300, 200},
             [&](WindowHandle painted, unsigned message, WParam, LParam) -> std::optional<LResult> {
                 if (message != Msg::kPaint)
                     return std::nullopt;
                 const PaintScope scope = BeginPaint(painted);
                 dirty.push_back(scope.dirty);
                 {
                     Canvas canvas(*scope.surface);
                     canvas.fillRect(GetClientRect(painted), kFill);
                 }
                 EndPaint(painted, scope);
                 return 0;
             });
    SetWindowRegion(window, WindowRegion{{200, 100}, 40, 40});
    PumpReady();
    EXPECT_EQ(dirty, std::vector<Rect>{(Rect{0, 0, 200, 100})}) << "a window paints all of itself when shown";

    InvalidateRect(window, Rect{10, 10, 30, 20});
    InvalidateRect(window, Rect{190, 90, 250, 150}); // reaches past the window: cut to it
    PumpReady();
    ASSERT_EQ(dirty.size(), 2u);
    EXPECT_EQ(dirty[1], (Rect{10, 10, 200, 100}));

    // A minimised window paints when it comes back.
    ShowWindow(window, Show::kMinimize);
    InvalidateRect(window);
    PumpReady();
    EXPECT_EQ(dirty.size(), 2u);
    ShowWindow(window, Show::kRestore);
    PumpReady();
    EXPECT_EQ(dirty.size(), 3u);

    const std::unique_ptr<Surface> shown = display.snapshot(window);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->pixel(100, 50), kFill);
    EXPECT_EQ(shown->pixel(20, 20), kFill);
    for (Point corner : {Point{0, 0}, Point{199, 0}, Point{0, 99}, Point{199, 99}, Point{4, 4}})
        EXPECT_EQ(shown->pixel(corner.x, corner.y), 0u)
            << "outside the region at " << corner.x << "," << corner.y;
    EXPECT_EQ(GetWindowPixels(window)->pixel(0, 0), kFill)
        << "the region hides pixels, it does not erase them";
}

TEST_F(WindowSystemTest, ShowingMinimisedMaximisedAndRestoredTellsTheSizeKind) {
    const Rect normal{100, 100, 300, 200};
    const WindowHandle window = open(normal);
    PumpReady();
    const Size workArea{GetWorkArea().width(), GetWorkArea().height()};
    struct Step {
        int command;
        unsigned kind;
        Size size; // not checked for a minimised window
        bool iconic;
        bool zoomed; // not checked for a minimised window
    } steps[] = {
        {Show::kMinimize, SizeKind::kMinimized, {}, true, false},
        {Show::kRestore, SizeKind::kRestored, {200, 100}, false, false},
        {Show::kMaximize, SizeKind::kMaximized, workArea, false, true},
        {Show::kMinimize, SizeKind::kMinimized, {}, true, true},
        {Show::kRestore, SizeKind::kMaximized, workArea, false, true}, // back to maximised
        {Show::kRestore, SizeKind::kRestored, {200, 100}, false, false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << "show command " << step.command << " towards kind " << step.kind);
        journal.clear();
        ShowWindow(window, step.command);
        const std::vector<Seen> sizes = journal.of(window, {Msg::kSize});
        ASSERT_EQ(sizes.size(), 1u);
        EXPECT_EQ(sizes[0].wParam, step.kind);
        EXPECT_EQ(IsIconic(window), step.iconic);
        EXPECT_EQ(display.isMinimised(window), step.iconic);
        if (!step.iconic) {
            EXPECT_EQ(UnpackPoint(sizes[0].lParam), (Point{step.size.width, step.size.height}));
            EXPECT_EQ(IsZoomed(window), step.zoomed);
        }
    }
    EXPECT_EQ(GetWindowRect(window), normal);
}
