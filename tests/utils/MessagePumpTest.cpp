#include "utils/MessagePump.h"

#include "platform/window/WindowSystem.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <memory>
#include <vector>

using namespace Platform;
using namespace std::chrono_literals;

namespace {

// Counts what a window received; everything else is left to DefWindowProc (kClose destroys it).
class Counter final : public WindowProcedure {
public:
    LResult HandleWindowMessage(WindowHandle window, unsigned message, WParam wParam,
                                LParam lParam) override {
        ++received[message];
        return DefWindowProc(window, message, wParam, lParam);
    }
    std::map<unsigned, int> received;
};

} // namespace

// Hidden windows on the test's thread, destroyed before their procedures.
class MessagePumpTest : public testing::Test {
protected:
    WindowHandle open(Counter& counter) {
        WindowOptions options;
        options.className = L"PumpTest";
        options.rect = {0, 0, 100, 100};
        const WindowHandle window = CreateNativeWindow(options, counter);
        m_Windows.push_back(window);
        return window;
    }
    void TearDown() override {
        for (WindowHandle window : m_Windows)
            DestroyNativeWindow(window);
    }

    Counter counter;
    Counter other;

private:
    std::vector<WindowHandle> m_Windows;
};

TEST_F(MessagePumpTest, DispatchesForMoreThanATenthOfASecondThenReturnsTrue) {
    const WindowHandle window = open(counter);
    ASSERT_TRUE(SetTimer(window, 1, 10)); // keeps messages coming
    ASSERT_TRUE(PostMessage(window, Msg::kUser));
    for (WindowHandle watched : {window, kNoWindow}) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(Utils::PumpMessages(watched));
        EXPECT_GT(std::chrono::steady_clock::now() - start, 100ms);
    }
    EXPECT_EQ(counter.received[Msg::kUser], 1);
    EXPECT_GE(counter.received[Msg::kTimer], 2);
    EXPECT_TRUE(IsWindow(window));
    KillTimer(window, 1);
}

TEST_F(MessagePumpTest, TheQuitMessageEndsThePumpAndIsPostedAgainForTheCallersLoop) {
    const WindowHandle window = open(counter);
    // A timer instead of an endless wait should the quit not come back.
    ASSERT_TRUE(SetTimer(window, 1, 2000));
    for (WindowHandle watched : {window, kNoWindow}) {
        ASSERT_TRUE(PostMessage(window, Msg::kUser));
        PostQuitMessage(-1);
        EXPECT_FALSE(Utils::PumpMessages(watched));
        Message message;
        EXPECT_FALSE(GetMessage(message));
        EXPECT_EQ(message.message, Msg::kQuit);
        EXPECT_EQ(static_cast<int>(message.wParam), -1);
    }
    EXPECT_EQ(counter.received[Msg::kUser], 2) << "messages posted before the quit are dispatched";
    EXPECT_EQ(counter.received[Msg::kTimer], 0);
    KillTimer(window, 1);
}

TEST_F(MessagePumpTest, AWindowThatIsGoneEndsThePumpWithFalse) {
    const WindowHandle gone = open(counter);
    const WindowHandle living = open(other);
    ASSERT_TRUE(DestroyNativeWindow(gone));

    // At once, without taking a message.
    ASSERT_TRUE(PostMessage(living, Msg::kUser));
    EXPECT_FALSE(Utils::PumpMessages(gone));
    EXPECT_EQ(other.received[Msg::kUser], 0);
    Message message;
    ASSERT_TRUE(PeekMessage(message));
    EXPECT_EQ(message.message, Msg::kUser);

    // Destroyed by a message the pump dispatched.
    ASSERT_TRUE(PostMessage(living, Msg::kClose));
    EXPECT_FALSE(Utils::PumpMessages(living));
    EXPECT_FALSE(IsWindow(living));
}
