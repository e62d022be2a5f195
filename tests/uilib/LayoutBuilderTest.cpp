#include "uilib/LayoutBuilder.h"
#include "uilib/WindowManagerUI.h"
#include "uilib/controls/CheckBoxUI.h"
#include "uilib/controls/ContainerUI.h"
#include "uilib/controls/LabelUI.h"
#include "uilib/controls/ProgressUI.h"
#include "uilib/controls/TabLayoutUI.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace Platform {
void PrintTo(const Rect& rect, std::ostream* out) {
    *out << "{" << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom << "}";
}
} // namespace Platform

using namespace UiLib;

namespace {

// Attributes are applied through a manager; one without a window is enough here.
std::unique_ptr<CControlUI> Build(const std::wstring& layout, CWindowManagerUI* manager = nullptr,
                                  IDialogBuilderCallback* callback = nullptr) {
    CWindowManagerUI detached;
    CLayoutBuilder builder;
    return builder.Create(layout, {}, callback, manager ? manager : &detached);
}

CContainerUI* AsContainer(CControlUI* control) {
    return static_cast<CContainerUI*>(control->GetInterface(L"Container"));
}

// The laid-out rectangles of a container's children.
std::vector<Rect> ChildRects(CControlUI& root, const Rect& area) {
    root.SetPos(area);
    std::vector<Rect> rects;
    CContainerUI* container = AsContainer(&root);
    for (int i = 0; i < container->GetCount(); ++i)
        rects.push_back(container->GetItemAt(i)->GetPos());
    return rects;
}

struct Custom : IDialogBuilderCallback {
    std::vector<std::wstring> asked;
    std::unique_ptr<CControlUI> CreateControl(const std::wstring& className) override {
        asked.push_back(className);
        return className == L"Gadget" ? std::make_unique<CLabelUI>() : nullptr;
    }
};

} // namespace

TEST(LayoutBuilder, ElementNamesIgnoreCaseAndUnknownElementsLeaveOutTheirChildren) {
    Custom callback;
    auto root = Build(LR"(<Window><verticallayout>
        <!-- comments between elements are ignored -->
        <checkbox name="box"/>
        <Mystery name="gone"><Label name="inside"/></Mystery>
        <Gadget name="made"/>
        <LABEL name="plain"/>
    </verticallayout></Window>)",
                      nullptr, &callback);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->GetClass(), L"VerticalLayout");
    CContainerUI* layout = AsContainer(root.get());
    ASSERT_EQ(layout->GetCount(), 3);
    EXPECT_EQ(layout->GetItemAt(0)->GetClass(), L"CheckBox");
    EXPECT_EQ(layout->GetItemAt(1)->GetClass(), L"Label"); // from the callback
    EXPECT_EQ(layout->GetItemAt(2)->GetClass(), L"Label");
    EXPECT_EQ(callback.asked, (std::vector<std::wstring>{L"Mystery", L"Gadget"}));
}

TEST(LayoutBuilder, DeclarationsGoToTheManager) {
    CWindowManagerUI manager;
    auto root = Build(LR"(<Window>
        <Font id="0" name="WenQuanYi Micro Hei" size="14" bold="true" default="true"/>
        <font ID="3" Name="Serif" size="20" italic="true" underline="true"/>
        <Font id="-1" name="Ignored"/>
        <Default name="Label" value="textcolor=&quot;#FF112233&quot; height=&quot;24&quot;"/>
        <MultiLanguage id="104" value="磁盘空间不足"/>
        <HorizontalLayout><Label name="first" height="30"/><Label name="second"/></HorizontalLayout>
    </Window>)",
                      &manager);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(manager.GetDefaultFont().face, L"WenQuanYi Micro Hei");
    EXPECT_EQ(manager.GetDefaultFont().pixelSize, 14);
    EXPECT_TRUE(manager.GetDefaultFont().bold);
    const Platform::Font& serif = manager.GetFont(3);
    EXPECT_EQ(serif.face, L"Serif");
    EXPECT_TRUE(serif.italic && serif.underline && !serif.bold);
    EXPECT_EQ(manager.GetFont(7).face, L"WenQuanYi Micro Hei"); // unknown numbers give the default
    EXPECT_EQ(manager.GetMultiLanguageString(104), L"磁盘空间不足");

    // Defaults first, then the element's own attributes.
    auto* first = static_cast<CLabelUI*>(AsContainer(root.get())->GetItemAt(0));
    auto* second = static_cast<CLabelUI*>(AsContainer(root.get())->GetItemAt(1));
    EXPECT_EQ(first->GetTextColor(), 0xFF112233u);
    EXPECT_EQ(first->GetFixedHeight(), 30);
    EXPECT_EQ(second->GetFixedHeight(), 24);
    // Built controls are detached again until the tree is attached.
    EXPECT_EQ(first->GetManager(), nullptr);
}

TEST(LayoutBuilder, AttributesTheControlsDoNotKnowBecomeCustomAttributes) {
    auto root = Build(LR"(<Window><VerticalLayout>
        <Button name="ok" hotborercolor="#FF0000FF" bordercolor="#FF00FF00" bordersize="1"/>
        <Progress name="bar" isstretchfore="false" value="50"/>
        <CheckBox name="box" selected="true"/>
    </VerticalLayout></Window>)");
    CContainerUI* layout = AsContainer(root.get());
    CControlUI* button = layout->GetItemAt(0);
    EXPECT_EQ(button->GetCustomAttribute(L"hotborercolor"), L"#FF0000FF");
    EXPECT_EQ(button->GetBorderColor(), 0xFF00FF00u);
    auto* bar = static_cast<CProgressUI*>(layout->GetItemAt(1));
    EXPECT_EQ(bar->GetCustomAttribute(L"isstretchfore"), L"false");
    EXPECT_EQ(bar->GetValue(), 50);
    EXPECT_TRUE(static_cast<CCheckBoxUI*>(layout->GetItemAt(2))->GetCheck());
}

TEST(LayoutBuilder, ADocumentThatDoesNotLoadGivesNoTreeAndTheReadersError) {
    CLayoutBuilder builder;
    EXPECT_EQ(builder.Create(L"<Window><Label text='single'/></Window>"), nullptr);
    EXPECT_EQ(builder.ErrorMessage(), L"Expected attribute value");
    EXPECT_EQ(builder.ErrorLocation().substr(0, 7), L"'single");

    EXPECT_EQ(builder.Create(L"no-such-layout.xml"), nullptr);
    EXPECT_FALSE(builder.ErrorMessage().empty());
}

TEST(LayoutBuilder, LabelAlignmentWordsAndDefaults) {
    namespace TS = Platform::TextStyle;
    struct Case {
        const wchar_t* attributes;
        unsigned style;
    } cases[] = {
        {L"", TS::kLeft | TS::kVCenter | TS::kSingleLine},
        {LR"(valign="center")", TS::kLeft | TS::kVCenter | TS::kSingleLine}, // "center" is no vertical word
        {LR"(align="center" valign="bottom")", TS::kCenter | TS::kBottom | TS::kSingleLine},
        {LR"(align="right" valign="top")", TS::kRight | TS::kTop | TS::kSingleLine},
        {LR"(align="left center")", TS::kCenter | TS::kVCenter | TS::kSingleLine},
        {LR"(multiline="true" endellipsis="true")", TS::kVCenter | TS::kWordBreak | TS::kEndEllipsis},
    };
    for (const Case& c : cases) {
        auto root = Build(std::wstring(L"<Window><Label ") + c.attributes + L"/></Window>");
        EXPECT_EQ(static_cast<CLabelUI*>(root.get())->GetTextStyle(), c.style) << c.attributes;
    }
}

TEST(BoxLayout, SharesTheRestAmongChildrenWithoutASize) {
    struct Case {
        const wchar_t* layout;
        Rect area;
        std::vector<Rect> expected;
    } cases[] = {
        {LR"(<VerticalLayout><Control height="30"/><Control/><Control height="20"/><Control/></VerticalLayout>)",
         {0, 0, 50, 100},
         {{0, 0, 50, 30}, {0, 30, 50, 55}, {0, 55, 50, 75}, {0, 75, 50, 100}}},
        {LR"(<VerticalLayout><Control/><Control/><Control/></VerticalLayout>)",
         {0, 0, 10, 100},
         {{0, 0, 10, 33}, {0, 33, 10, 66}, {0, 66, 10, 100}}},
        {LR"(<HorizontalLayout><Control/><Control width="200"/><Control/></HorizontalLayout>)",
         {0, 0, 480, 20},
         {{0, 0, 140, 20}, {140, 0, 340, 20}, {340, 0, 480, 20}}},
        // Inset, child padding and the children's own padding.
        {LR"(<VerticalLayout inset="5,10,5,10" childpadding="4">
               <Control height="20" padding="2,3,2,1"/><Control/></VerticalLayout>)",
         {0, 0, 100, 100},
         {{7, 13, 93, 33}, {5, 38, 95, 90}}},
        // Minimum and maximum sizes bound both the fixed and the shared sizes.
        {LR"(<VerticalLayout><Control height="10" minheight="15"/><Control maxheight="20"/><Control width="300" maxwidth="40"/></VerticalLayout>)",
         {0, 0, 60, 100},
         {{0, 0, 60, 15}, {0, 15, 60, 35}, {0, 35, 40, 100}}},
        // Alignment across the axis.
        {LR"(<VerticalLayout childalign="center"><Control width="20" height="10"/></VerticalLayout>)",
         {0, 0, 100, 100},
         {{40, 0, 60, 10}}},
        {LR"(<HorizontalLayout childvalign="bottom"><Control width="20" height="10" padding="0,0,0,5"/></HorizontalLayout>)",
         {0, 0, 100, 100},
         {{0, 85, 20, 95}}},
        // A floating child stays at its position and takes no share; a hidden one takes nothing.
        {LR"(<HorizontalLayout><Control float="true" pos="10,20,40,30"/><Control visible="false" width="50"/><Control/></HorizontalLayout>)",
         {100, 100, 200, 200},
         {{110, 120, 140, 130}, {}, {100, 100, 200, 200}}},
        // Too little room: shares never go negative.
        {LR"(<VerticalLayout><Control height="80"/><Control/><Control height="40"/></VerticalLayout>)",
         {0, 0, 10, 100},
         {{0, 0, 10, 80}, {0, 80, 10, 80}, {0, 80, 10, 120}}},
    };
    for (const Case& c : cases) {
        auto root = Build(std::wstring(L"<Window>") + c.layout + L"</Window>");
        ASSERT_NE(root, nullptr) << c.layout;
        EXPECT_EQ(ChildRects(*root, c.area), c.expected) << c.layout;
    }
}

TEST(TabLayout, ShowsTheFirstPageAndSelectsByIndex) {
    auto root = Build(LR"(<Window><TabLayout><Control name="a"/><Control name="b"/><Control name="c"/><Control name="d"/></TabLayout></Window>)");
    auto* tabs = static_cast<CTabLayoutUI*>(root->GetInterface(L"TabLayout"));
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->GetCurSel(), 0);
    std::vector<bool> visible;
    for (int i = 0; i < tabs->GetCount(); ++i)
        visible.push_back(tabs->GetItemAt(i)->IsVisible());
    EXPECT_EQ(visible, (std::vector<bool>{true, false, false, false}));

    EXPECT_FALSE(tabs->SelectItem(4));
    EXPECT_FALSE(tabs->SelectItem(-1));
    EXPECT_TRUE(tabs->SelectItem(2));
    EXPECT_EQ(tabs->GetCurSel(), 2);
    EXPECT_FALSE(tabs->GetItemAt(0)->IsVisible());
    EXPECT_TRUE(tabs->GetItemAt(2)->IsVisible());

    // Removing the current page makes the first one current.
    EXPECT_TRUE(tabs->Remove(tabs->GetItemAt(2)));
    EXPECT_EQ(tabs->GetCurSel(), 0);
    EXPECT_TRUE(tabs->GetItemAt(0)->IsVisible());

    auto preset = Build(LR"(<Window><TabLayout selectedid="1"><Control/><Control/></TabLayout></Window>)");
    EXPECT_EQ(static_cast<CTabLayoutUI*>(preset.get())->GetCurSel(), 1);
}
