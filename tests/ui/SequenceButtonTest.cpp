#include "ui/SequenceButtonUI.h"
#include "uilib/WindowManagerUI.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace UiLib;

namespace {

struct Ink {
    int left = -1; // leftmost column with text, -1 for none
    bool onlyRed = true;
    bool onlyBlue = true;
};

// Where the button's text lands and in which colour (the text is antialiased, so colours are told
// apart by their channels).
Ink PaintedText(CSequenceButtonUI& button) {
    Platform::Surface surface(button.GetWidth(), button.GetHeight());
    Platform::Canvas canvas(surface);
    button.PaintText(canvas);
    Ink ink;
    for (int x = 0; x < surface.width(); ++x) {
        for (int y = 0; y < surface.height(); ++y) {
            const std::uint32_t pixel = surface.pixel(x, y);
            if (pixel == 0)
                continue;
            if (ink.left < 0)
                ink.left = x;
            const std::uint32_t red = pixel >> 16 & 0xFF, green = pixel >> 8 & 0xFF, blue = pixel & 0xFF;
            ink.onlyRed = ink.onlyRed && green == 0 && blue == 0;
            ink.onlyBlue = ink.onlyBlue && red == 0 && green == 0;
        }
    }
    return ink;
}

class PushedText : public testing::Test {
protected:
    PushedText() {
        m_Manager.AddFont(0, Platform::Font{L"", 20, true, false, false}, false);
        m_Button.SetManager(&m_Manager, nullptr, false);
        m_Button.SetAttribute(L"font", L"0");
        m_Button.SetAttribute(L"textcolor", L"#FF0000FF");
        m_Button.SetText(L"WW");
        m_Button.SetPos({0, 0, 120, 30});
    }

    void Press() {
        TEventUI event;
        event.Type = EventType::ButtonDown;
        event.pSender = &m_Button;
        event.ptMouse = {60, 15};
        m_Button.Event(event);
        ASSERT_TRUE(m_Button.GetButtonState() & ControlState::kPushed);
    }

    CWindowManagerUI m_Manager;
    CSequenceButtonUI m_Button;
};

} // namespace

TEST_F(PushedText, PaddingMovesTheTextOnlyWhilePushed) {
    const int centred = PaintedText(m_Button).left;
    ASSERT_GE(centred, 0);
    ASSERT_LT(centred, 70);

    m_Button.SetPushedTextPadding({70, 0, 0, 0});
    EXPECT_EQ(PaintedText(m_Button).left, centred) << "not pushed";
    Press();
    const Ink moved = PaintedText(m_Button);
    EXPECT_GE(moved.left, 70);
    EXPECT_TRUE(moved.onlyBlue) << "the normal colour without a pushed one";

    m_Button.SetAttribute(L"pushedtextcolor", L"#FFFF0000");
    EXPECT_TRUE(PaintedText(m_Button).onlyRed);

    m_Button.SetPushedTextPadding({});
    EXPECT_EQ(PaintedText(m_Button).left, centred) << "all-zero padding";
}

TEST(SequenceButton, ExtraTextsAndPaddingAreKeptForTheOwner) {
    CSequenceButtonUI button;
    EXPECT_EQ(button.GetPushedTextPadding(), Platform::Rect{});
    button.SetFirstExtraText(L"安装");
    button.SetSecondExtraText(L"second");
    button.SetPushedTextPadding({1, 2, 3, 4});
    EXPECT_EQ(button.GetFirstExtraText(), L"安装");
    EXPECT_EQ(button.GetSecondExtraText(), L"second");
    EXPECT_EQ(button.GetPushedTextPadding(), (Platform::Rect{1, 2, 3, 4}));
    EXPECT_EQ(button.GetText(), L"");
}

TEST(SequenceButton, CopyChannelMovesOneByteOfEveryPixel) {
    const std::uint8_t sourceBytes[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    auto make = [](int width, int height, const std::uint8_t* bytes) {
        auto surface = std::make_unique<Platform::Surface>(width, height);
        if (bytes) {
            std::memcpy(surface->data(), bytes, size_t(width) * size_t(height) * 4);
            surface->markDirty();
        }
        return surface;
    };
    auto source = make(3, 1, sourceBytes);

    struct Case {
        int from;
        int to;
        std::vector<std::uint8_t> expected;
    };
    const Case cases[] = {
        {3, 0, {4, 0, 0, 0, 8, 0, 0, 0, 12, 0, 0, 0}},
        {0, 3, {0, 0, 0, 1, 0, 0, 0, 5, 0, 0, 0, 9}},
        {2, 2, {0, 0, 3, 0, 0, 0, 7, 0, 0, 0, 11, 0}},
    };
    for (const Case& c : cases) {
        auto destination = make(3, 1, nullptr);
        EXPECT_TRUE(CSequenceButtonUI::CopyChannel(*source, *destination, c.from, c.to));
        EXPECT_EQ(std::vector<std::uint8_t>(destination->data(), destination->data() + 12), c.expected)
            << c.from << " -> " << c.to;
    }

    auto untouched = make(3, 1, nullptr);
    EXPECT_FALSE(CSequenceButtonUI::CopyChannel(*source, *make(1, 3, nullptr), 0, 0));
    EXPECT_FALSE(CSequenceButtonUI::CopyChannel(*source, *make(3, 2, nullptr), 0, 0));
    EXPECT_FALSE(CSequenceButtonUI::CopyChannel(*source, *untouched, 4, 0));
    EXPECT_FALSE(CSequenceButtonUI::CopyChannel(*source, *untouched, 0, -1));
    EXPECT_EQ(std::vector<std::uint8_t>(untouched->data(), untouched->data() + 12),
              std::vector<std::uint8_t>(12, 0));
}
