#include "uilib/WindowShadow.h"
#include "uilib/SkinResources.h"
#include "uilib/WindowManagerUI.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

using namespace UiLib;
using Platform::LParam;
using Platform::Rect;
using Platform::WParam;
namespace Msg = Platform::Msg;

namespace {

using Calls = std::vector<std::string>;

// Writes what the shadow asks of its window into a list the test keeps.
class RecordingSurface : public ShadowSurface {
public:
    explicit RecordingSurface(Calls& calls) : m_Calls(calls) {}

    void update(const Rect& rect, const ShadowBitmap& pixels) override {
        EXPECT_EQ(pixels.width, rect.width());
        EXPECT_EQ(pixels.height, rect.height());
        m_Calls.push_back("update " + std::to_string(rect.left) + "," + std::to_string(rect.top) + " " +
                          std::to_string(rect.width()) + "x" + std::to_string(rect.height()));
    }
    void move(Platform::Point topLeft) override {
        m_Calls.push_back("move " + std::to_string(topLeft.x) + "," + std::to_string(topLeft.y));
    }
    void show() override { m_Calls.push_back("show"); }
    void hide() override { m_Calls.push_back("hide"); }
    void destroy() override { m_Calls.push_back("destroy"); }

private:
    Calls& m_Calls;
};

class FakeOwner : public ShadowOwner {
public:
    Rect rect{100, 200, 500, 500};
    State shown = State::Shown;

    Rect windowRect() const override { return rect; }
    std::optional<Platform::WindowRegion> region() const override {
        return Platform::WindowRegion{{rect.width(), rect.height()}, 6, 6};
    }
    State state() const override { return shown; }
};

LParam SizeParam(int width, int height) {
    return static_cast<LParam>(height) << 16 | width;
}

// The shipped main window's shadow: size 6, offset (1, 1), so the shadow of the owner at
// (100, 200) 400 × 300 is at (95, 195), 412 × 312.
class WindowShadowTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_Shadow.SetSize(6));
        ASSERT_TRUE(m_Shadow.SetSharpness(10));
        ASSERT_TRUE(m_Shadow.SetPosition(1, 1));
    }

    void Create(ShadowOwner::State state = ShadowOwner::State::Shown) {
        m_Owner.shown = state;
        ASSERT_TRUE(m_Shadow.Create(m_Owner, std::make_unique<RecordingSurface>(m_Calls)));
    }

    // The calls one owner message made.
    Calls Send(unsigned message, WParam wParam = 0, LParam lParam = 0) {
        m_Calls.clear();
        m_Shadow.OnOwnerMessage(message, wParam, lParam);
        return m_Calls;
    }

    Calls m_Calls;
    FakeOwner m_Owner;
    CWindowShadow m_Shadow;
};

constexpr std::uint8_t kAll =
    CWindowShadow::kEnabled | CWindowShadow::kShadowVisible | CWindowShadow::kOwnerVisible;

} // namespace

namespace UiLib {
void PrintTo(const ShadowParams& params, std::ostream* out) {
    *out << "size " << params.size << ", sharpness " << params.sharpness << ", darkness " << params.darkness
         << ", offset " << params.xOffset << "," << params.yOffset << ", colour " << std::hex << params.colour
         << std::dec;
}
} // namespace UiLib

TEST(WindowShadowSettings, SettersRefuseValuesOutsideTheirRanges) {
    CWindowShadow shadow;
    EXPECT_EQ(shadow.GetParams(), (ShadowParams{0, 5, 150, 5, 5, 0}));

    EXPECT_FALSE(shadow.SetSize(25));
    EXPECT_FALSE(shadow.SetSize(-21));
    EXPECT_FALSE(shadow.SetSharpness(-1));
    EXPECT_FALSE(shadow.SetSharpness(21));
    EXPECT_FALSE(shadow.SetDarkness(-1));
    EXPECT_FALSE(shadow.SetDarkness(256));
    EXPECT_FALSE(shadow.SetPosition(3, 21));
    EXPECT_FALSE(shadow.SetPosition(-21, 3));
    EXPECT_EQ(shadow.GetParams(), (ShadowParams{0, 5, 150, 5, 5, 0}));

    EXPECT_TRUE(shadow.SetSize(-20));
    EXPECT_TRUE(shadow.SetSharpness(20));
    EXPECT_TRUE(shadow.SetDarkness(255));
    EXPECT_TRUE(shadow.SetPosition(-20, 20));
    EXPECT_TRUE(shadow.SetColor(0xFFFFFFFF));
    EXPECT_EQ(shadow.GetParams(), (ShadowParams{-20, 20, 255, -20, 20, 0xFFFFFFFF}));
}

TEST(WindowShadowSettings, ShippedLayoutAttributesGiveAShadowTwelveLargerUpAndLeftByFive) {
    const std::pair<const wchar_t*, const wchar_t*> shipped[] = {
        {L"showshadow", L"true"},    {L"shadowsize", L"6"},      {L"shadowsharpness", L"10"},
        {L"shadowposition", L"1,1"}, {L"shadowdarkness", L"20"}, {L"shadowcolor", L"#26003B76"}};
    CWindowManagerUI manager;
    for (const auto& [name, value] : shipped)
        manager.SetWindowAttribute(name, value);

    CWindowShadow shadow;
    ASSERT_TRUE(shadow.ApplyLayoutAttributes(manager));
    EXPECT_EQ(shadow.GetParams(), (ShadowParams{6, 10, 20, 1, 1, 0x26003B76}));
    EXPECT_FALSE(shadow.HasImage());
    EXPECT_EQ(shadow.Geometry({100, 200, 500, 500}), (Rect{95, 195, 507, 507}));
}

TEST(WindowShadowSettings, LayoutAttributeValues) {
    struct Case {
        std::vector<std::pair<std::wstring, std::wstring>> attributes;
        bool wanted;
        ShadowParams params;
    };
    const Case cases[] = {
        {{{L"showshadow", L"TRUE"}, {L"shadowsize", L"3"}}, true, {3, 5, 150, 5, 5, 0}},
        {{{L"showshadow", L"True"}}, true, {}},
        // Without the shadow nothing else is read.
        {{{L"showshadow", L"yes"}, {L"shadowsize", L"3"}}, false, {}},
        {{{L"showshadow", L"1"}}, false, {}},
        {{{L"showshadow", L" true"}}, false, {}},
        {{{L"shadowsize", L"3"}}, false, {}},
        // Refused values keep the defaults; the others still apply.
        {{{L"showshadow", L"true"}, {L"shadowsize", L"25"}, {L"shadowdarkness", L"40"}},
         true,
         {0, 5, 40, 5, 5, 0}},
        {{{L"showshadow", L"true"}, {L"shadowposition", L"2,30"}, {L"shadowsharpness", L"21"}},
         true,
         {0, 5, 150, 5, 5, 0}},
        {{{L"showshadow", L"true"}, {L"shadowposition", L"-3;4"}}, true, {0, 5, 150, -3, 4, 0}},
        // The colour is the number as written: its low byte is red.
        {{{L"showshadow", L"true"}, {L"shadowcolor", L"#0000FF"}}, true, {0, 5, 150, 5, 5, 0x0000FF}},
        {{{L"showshadow", L"true"}, {L"shadowcolor", L"FF0000"}}, true, {0, 5, 150, 5, 5, 0xFF0000}},
        {{{L"showshadow", L"true"}, {L"shadowdarkness", L"10"}, {L"shadowcolor", L"#FFEDF0F4"}},
         true,
         {0, 5, 10, 5, 5, 0xFFEDF0F4}},
    };
    for (const Case& c : cases) {
        CWindowManagerUI manager;
        std::wstring written;
        for (const auto& [name, value] : c.attributes) {
            manager.SetWindowAttribute(name, value);
            written += name + L"=" + value + L" ";
        }
        SCOPED_TRACE(std::string(written.begin(), written.end()));
        CWindowShadow shadow;
        EXPECT_EQ(shadow.ApplyLayoutAttributes(manager), c.wanted);
        EXPECT_EQ(shadow.GetParams(), c.params);
    }
}

TEST(WindowShadowSettings, ShadowImageReplacesTheComputedShadowOnlyWhenItLoads) {
    SkinResources::Process().SetResourcePath(
        (std::filesystem::path(TOVACLIP_SOURCE_DIR) / "tests/fixtures/skin").wstring());

    CWindowManagerUI missing;
    missing.SetWindowAttribute(L"showshadow", L"true");
    missing.SetWindowAttribute(L"shadowimage", L"res/mainWnd/none.png");
    missing.SetWindowAttribute(L"shadowcorner", L"3,3,3,3");
    CWindowShadow computed;
    ASSERT_TRUE(computed.ApplyLayoutAttributes(missing));
    EXPECT_FALSE(computed.HasImage());
    EXPECT_EQ(computed.GetCorner(), Rect{});
    EXPECT_EQ(computed.Geometry({100, 200, 500, 500}), (Rect{105, 205, 505, 505}));

    CWindowManagerUI manager;
    manager.SetWindowAttribute(L"showshadow", L"true");
    manager.SetWindowAttribute(L"shadowimage", L"file='res/mainWnd/bg1.png'");
    manager.SetWindowAttribute(L"shadowcorner", L"1,0,0,1");
    manager.SetWindowAttribute(L"shadowsize", L"6");
    CWindowShadow shadow;
    ASSERT_TRUE(shadow.ApplyLayoutAttributes(manager));
    ASSERT_TRUE(shadow.HasImage());
    EXPECT_EQ(shadow.GetCorner(), (Rect{1, 0, 0, 1}));
    EXPECT_EQ(shadow.GetHoleOffset(), Rect{}); // missing: all zeros
    // The image, not the size, decides the place: (left - 1, top - 0), (400 + 1) × (300 + 1).
    EXPECT_EQ(shadow.Geometry({100, 200, 500, 500}), (Rect{99, 200, 500, 501}));
    const ShadowBitmap pixels = shadow.Pixels(std::nullopt, {400, 300});
    ASSERT_EQ(pixels.width, 401);
    ASSERT_EQ(pixels.height, 301);
    EXPECT_EQ(pixels.at(200, 150), 0u); // the middle is left out
    // The bottom-left corner is the picture's, with its own alpha.
    const ImageEntry* picture = manager.Images().GetImage(L"res/mainWnd/bg1.png");
    ASSERT_TRUE(picture);
    ASSERT_NE(picture->pixels[2], 0u);
    EXPECT_EQ(pixels.at(0, 300), picture->pixels[2]);

    // A later picture that does not load keeps the one in use, with its corners.
    EXPECT_FALSE(shadow.SetImage(manager.Images(), L"res/mainWnd/none.png", {1, 1, 1, 1}, {1, 1, 1, 1}));
    EXPECT_TRUE(shadow.HasImage());
    EXPECT_EQ(shadow.GetCorner(), (Rect{1, 0, 0, 1}));
}

TEST_F(WindowShadowTest, CreateFollowsTheOwnersState) {
    struct Case {
        ShadowOwner::State state;
        std::uint8_t status;
        Calls calls;
    };
    const Case cases[] = {
        {ShadowOwner::State::Hidden, CWindowShadow::kEnabled, {}},
        {ShadowOwner::State::MinimisedOrMaximised,
         CWindowShadow::kEnabled | CWindowShadow::kOwnerVisible,
         {}},
        {ShadowOwner::State::Shown, kAll, {"show", "update 95,195 412x312"}},
    };
    for (const Case& c : cases) {
        Calls calls;
        FakeOwner owner;
        owner.shown = c.state;
        CWindowShadow shadow;
        shadow.SetSize(6);
        shadow.SetPosition(1, 1);
        ASSERT_TRUE(shadow.Create(owner, std::make_unique<RecordingSurface>(calls)));
        EXPECT_EQ(shadow.GetStatus(), c.status);
        EXPECT_EQ(calls, c.calls);
    }

    // A display that cannot blend a shadow gives no surface: nothing follows the owner then.
    CWindowShadow none;
    EXPECT_FALSE(none.Create(m_Owner, nullptr));
    none.OnOwnerMessage(Msg::kShowWindow, 1, 0);
    EXPECT_EQ(none.GetStatus(), 0);
    EXPECT_FALSE(none.IsUpdatePending());
}

TEST_F(WindowShadowTest, MinimiseAndMaximiseHideTheShadowAndRestoringShowsIt) {
    Create();
    const std::uint8_t hidden = CWindowShadow::kEnabled | CWindowShadow::kOwnerVisible;
    EXPECT_EQ(Send(Msg::kSize, Platform::SizeKind::kMinimized, 0), Calls{"hide"});
    EXPECT_EQ(m_Shadow.GetStatus(), hidden);
    EXPECT_EQ(Send(Msg::kMove), Calls{}); // nothing follows a hidden shadow

    // Restored larger than the last size (0 × 0 while minimised): shown, drawn at the next paint.
    EXPECT_EQ(Send(Msg::kSize, Platform::SizeKind::kRestored, SizeParam(400, 300)), Calls{"show"});
    EXPECT_EQ(m_Shadow.GetStatus(), kAll);
    EXPECT_EQ(Send(Msg::kPaint), Calls{"update 95,195 412x312"});

    m_Owner.rect = {0, 0, 800, 600};
    EXPECT_EQ(Send(Msg::kSize, Platform::SizeKind::kMaximized, SizeParam(800, 600)), Calls{"hide"});
    EXPECT_EQ(m_Shadow.GetStatus(), hidden);

    // Restored smaller than the maximised size: drawn at once.
    m_Owner.rect = {100, 200, 500, 500};
    EXPECT_EQ(Send(Msg::kSize, Platform::SizeKind::kRestored, SizeParam(400, 300)),
              (Calls{"update 95,195 412x312", "show"}));
    EXPECT_EQ(m_Shadow.GetStatus(), kAll);
    EXPECT_FALSE(m_Shadow.IsUpdatePending());
}

TEST_F(WindowShadowTest, PlainMoveOnlyMovesAndGrowthWaitsForThePaint) {
    Create();
    Send(Msg::kSize, Platform::SizeKind::kRestored, SizeParam(400, 300));
    Send(Msg::kPaint);

    m_Owner.rect = {150, 250, 550, 550};
    EXPECT_EQ(Send(Msg::kMove), Calls{"move 145,245"});

    struct Step {
        int width;
        int height;
        Calls calls;
        bool pending;
    };
    const Step steps[] = {
        {420, 300, {}, true},                         // wider
        {410, 290, {"update 145,245 412x312"}, true}, // both smaller: at once, and the growth still waits
        {410, 295, {}, true},                         // taller only
        {410, 295, {"update 145,245 412x312"}, true}, // the same size counts as not larger
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << step.width << "x" << step.height);
        EXPECT_EQ(Send(Msg::kSize, Platform::SizeKind::kRestored, SizeParam(step.width, step.height)),
                  step.calls);
        EXPECT_EQ(m_Shadow.IsUpdatePending(), step.pending);
        EXPECT_EQ(m_Shadow.GetLastOwnerSize(), (Platform::Size{step.width, step.height}));
    }
    EXPECT_EQ(Send(Msg::kMove), Calls{"move 145,245"});
    EXPECT_EQ(Send(Msg::kPaint), Calls{"update 145,245 412x312"});
    EXPECT_FALSE(m_Shadow.IsUpdatePending());
    EXPECT_EQ(Send(Msg::kPaint), Calls{});
}

TEST_F(WindowShadowTest, ShowAndHideFollowTheOwner) {
    Create(ShadowOwner::State::Hidden);
    EXPECT_EQ(Send(Msg::kSize, Platform::SizeKind::kRestored, SizeParam(400, 300)),
              Calls{}); // owner not visible

    EXPECT_EQ(Send(Msg::kShowWindow, 1), Calls{"show"});
    EXPECT_EQ(m_Shadow.GetStatus(), kAll);
    EXPECT_TRUE(m_Shadow.IsUpdatePending());
    EXPECT_EQ(Send(Msg::kPaint), Calls{"update 95,195 412x312"});
    EXPECT_EQ(Send(Msg::kShowWindow, 1), Calls{}); // already shown

    EXPECT_EQ(Send(Msg::kShowWindow, 0), Calls{"hide"});
    EXPECT_EQ(m_Shadow.GetStatus(), CWindowShadow::kEnabled);
    EXPECT_EQ(Send(Msg::kActivate, 1), Calls{});
    EXPECT_EQ(Send(CWindowShadow::kExitSizeMoveMessage), Calls{});
    EXPECT_TRUE(m_Shadow.SetDarkness(40));
    EXPECT_EQ(m_Calls, Calls{});
}

TEST_F(WindowShadowTest, ActivationEndOfSizingAndSettingsRedrawAVisibleShadow) {
    Create();
    EXPECT_EQ(Send(Msg::kActivate, 1), Calls{"update 95,195 412x312"});
    EXPECT_EQ(Send(CWindowShadow::kExitSizeMoveMessage), Calls{"update 95,195 412x312"});

    m_Calls.clear();
    EXPECT_TRUE(m_Shadow.SetSize(2));
    EXPECT_FALSE(m_Shadow.SetSize(30));
    EXPECT_TRUE(m_Shadow.SetColor(0xFF));
    EXPECT_EQ(m_Calls, (Calls{"update 99,199 404x304", "update 99,199 404x304"}));
}

TEST_F(WindowShadowTest, TheShadowWindowEndsWithItsOwner) {
    Create();
    EXPECT_EQ(Send(Msg::kDestroy), Calls{"destroy"});
    EXPECT_EQ(Send(Msg::kPaint), Calls{});
    EXPECT_EQ(Send(Msg::kActivate, 1), Calls{});
    EXPECT_EQ(Send(Msg::kMove), Calls{});
    Send(Msg::kNcDestroy);
    // Detached: the owner may be gone, so nothing is asked of it any more.
    EXPECT_EQ(Send(Msg::kShowWindow, 0), Calls{});
    EXPECT_EQ(m_Shadow.GetStatus(), kAll);
}

TEST(WindowShadowLifetime, ASurfaceStillOpenIsDestroyedWithTheShadow) {
    Calls calls;
    FakeOwner owner;
    {
        CWindowShadow shadow;
        shadow.Create(owner, std::make_unique<RecordingSurface>(calls));
    }
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), "destroy");
}
