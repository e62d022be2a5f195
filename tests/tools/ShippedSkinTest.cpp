// The installer's own skin (skin/): every layout loads in the previewer with the size and the named
// controls its window relies on, and every picture a layout names is in the skin.
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path kSkin = fs::path(TOVACLIP_SOURCE_DIR) / "skin";

struct DumpedControl {
    std::string className;
    int left = 0, top = 0, right = 0, bottom = 0;
    bool visible = false;
    std::string text;
};

// The named controls of the previewer's dump; the root is kept under "" as well.
std::map<std::string, DumpedControl> Dump(const std::string& layout, int& status) {
    const auto result = TestSupport::RunCommand(TestSupport::BinPath("skin-preview").string() + " --skin '" +
                                                kSkin.string() + "' --layout " + layout + " --dump 2>&1");
    status = result.status;
    static const std::regex line(
        R"re(^ *(\S+) name="([^"]*)" rect=(-?\d+),(-?\d+),(-?\d+),(-?\d+) visible=([01]) text="(.*)"$)re");
    std::map<std::string, DumpedControl> controls;
    for (const std::string& text : TestSupport::SplitLines(result.output)) {
        std::smatch match;
        if (!std::regex_match(text, match, line))
            continue;
        const DumpedControl control{match[1],
                                    std::stoi(match[3]),
                                    std::stoi(match[4]),
                                    std::stoi(match[5]),
                                    std::stoi(match[6]),
                                    match[7] == "1",
                                    match[8]};
        if (controls.empty())
            controls[""] = control;
        if (match[2].length() > 0)
            controls.emplace(match[2], control);
    }
    return controls;
}

struct Named {
    std::string name;
    std::string className;
    bool visible;     // at first: hidden itself, in a hidden row, or on a page not shown
    std::string text; // "*" leaves the text unchecked
};

struct LayoutCase {
    std::string file;
    int width, height;
    std::vector<Named> present;
    std::vector<std::string> absent; // looked up by the window, but not in this layout
};

const std::vector<LayoutCase> kLayouts = {
    {"MainWnd.xml",
     600,
     400,
     {{"winCtn", "VerticalLayout", true, ""},
      {"titleTabLt", "TabLayout", true, ""},
      {"mainTabLt", "TabLayout", true, ""},
      {"titleGrpCtn", "HorizontalLayout", true, ""},
      {"backBtn", "Button", false, ""},
      {"minbtn", "Button", true, ""},
      {"closebtn", "Button", true, ""},
      {"defaultInstallBtn", "Button", true, "*"},
      {"customeBtn", "Button", true, "自定义安装"},
      {"tipLbl", "Label", false, ""},
      {"treatyCb", "CheckBox", false, "已同意"},
      {"treatyBtn", "CheckBox", false, "《用户许可协议》"},
      {"installDirEdit", "Edit", false, "*"},
      {"chDirBtn", "Button", false, "*"},
      {"createDSCb", "CheckBox", false, "创建桌面快捷方式"},
      {"createQSCb", "CheckBox", false, "添加到快速启动栏"},
      {"customeInstallBtn", "Button", false, "*"},
      {"progressAnLb", "SequenceLabel", false, ""},
      {"progressLb", "Label", false, "正在安装中:0%，请稍候..."},
      {"installPrg", "Progress", false, ""},
      {"openProduceBtn", "Button", false, "*"}},
     {"serviceCb", "softNameLbl", "installLogo", "finishedLbl", "languageCombo", "bTitleLbl1"}},
    {"ExitTipWnd.xml",
     360,
     180,
     {{"okBtn", "Button", true, "是"}, {"cancelBtn", "Button", true, "否"}, {"closebtn", "Button", true, ""}},
     {"textLbl", "captionLbl"}},
    {"InstalledPathTipWnd.xml",
     400,
     180,
     {{"okBtn", "Button", true, "安装最新版本"},
      {"cancelBtn", "Button", true, "打开软件"},
      {"closebtn", "Button", true, ""}},
     {"textLbl", "captionLbl"}},
    {"NetworkTipWnd.xml",
     360,
     180,
     {{"okBtn", "Button", true, "重新安装"},
      {"cancelBtn", "Button", true, "稍后再试"},
      {"closebtn", "Button", true, ""}},
     {"textLbl", "captionLbl"}},
    {"MessageBox1Wnd.xml",
     360,
     180,
     {{"captionLbl", "Label", true, "CAPTION"},
      {"textLbl", "Label", true, "TEXT"},
      {"closebtn", "Button", true, ""}},
     {"okBtn", "cancelBtn"}},
    {"MessageBox2Wnd.xml",
     360,
     180,
     {{"captionLbl", "Label", true, "CAPTION"},
      {"textLbl", "Label", true, "TEXT"},
      {"closebtn", "Button", true, ""}},
     {"okBtn", "cancelBtn"}},
};

// Disabled-state pictures the layouts name but the skin does not carry: they are only asked for
// while such a button is disabled, and then the normal picture is drawn.
const std::set<std::string> kKnownAbsent = {"res/common/closebtn4.png", "res/common/minbtn4.png",
                                            "res/common/closebtnM_4.png"};

std::string Slashed(std::string name) {
    for (char& c : name)
        if (c == '\\')
            c = '/';
    return name;
}

// Every picture an element names: bare picture values, the "file" of image descriptions, and each
// frame of a sequence pattern.
std::set<std::string> PicturesNamed(const std::string& layout) {
    static const std::regex element(R"re(<[A-Za-z]+((?:\s+[A-Za-z]+="[^"]*")*)\s*/?>)re");
    static const std::regex attribute(R"re(([A-Za-z]+)="([^"]*)")re");
    static const std::regex file(R"re(file='([^']*)')re");
    static const std::regex picture(R"re(^[^=]*\.png$)re", std::regex::icase);
    std::set<std::string> pictures;
    for (auto e = std::sregex_iterator(layout.begin(), layout.end(), element); e != std::sregex_iterator();
         ++e) {
        const std::string attributes = (*e)[1];
        std::map<std::string, std::string> values;
        for (auto a = std::sregex_iterator(attributes.begin(), attributes.end(), attribute);
             a != std::sregex_iterator(); ++a)
            values[(*a)[1]] = (*a)[2];
        for (const auto& [name, value] : values) {
            std::smatch match;
            if (name == "sequencebkimage") {
                const int count = values.contains("sequencecount") ? std::stoi(values["sequencecount"]) : 0;
                EXPECT_GT(count, 0) << value;
                for (int frame = 0; frame < count; ++frame) {
                    char buffer[260];
                    std::snprintf(buffer, sizeof buffer, value.c_str(), frame);
                    pictures.insert(Slashed(buffer));
                }
            } else if (std::regex_search(value, match, file)) {
                pictures.insert(Slashed(match[1]));
            } else if (std::regex_match(value, picture)) {
                pictures.insert(Slashed(value));
            }
        }
    }
    return pictures;
}

} // namespace

TEST(ShippedSkin, EveryLayoutLoadsWithItsSizeAndTheControlsItsWindowLooksUp) {
    for (const LayoutCase& layout : kLayouts) {
        SCOPED_TRACE(layout.file);
        int status = -1;
        const auto controls = Dump(layout.file, status);
        ASSERT_EQ(status, 0);
        ASSERT_TRUE(controls.contains(""));
        const DumpedControl& root = controls.at("");
        EXPECT_EQ(root.right - root.left, layout.width);
        EXPECT_EQ(root.bottom - root.top, layout.height);
        for (const Named& named : layout.present) {
            SCOPED_TRACE(named.name);
            const auto found = controls.find(named.name);
            ASSERT_NE(found, controls.end());
            EXPECT_EQ(found->second.className, named.className);
            EXPECT_EQ(found->second.visible, named.visible);
            if (named.text != "*") {
                EXPECT_EQ(found->second.text, named.text);
            }
        }
        for (const std::string& name : layout.absent)
            EXPECT_FALSE(controls.contains(name)) << name;
    }
}

TEST(ShippedSkin, EveryPictureTheLayoutsNameIsInTheSkin) {
    std::set<std::string> named;
    for (const LayoutCase& layout : kLayouts) {
        const std::string text = TestSupport::ReadFile(kSkin / layout.file);
        ASSERT_FALSE(text.empty()) << layout.file;
        const std::set<std::string> pictures = PicturesNamed(text);
        named.insert(pictures.begin(), pictures.end());
    }
    // The page backgrounds the main window switches between are named by the window, not its layout.
    for (const char* background : {"res/mainWnd/bg2.png", "res/mainWnd/bg3.png", "res/mainWnd/bg4.png"})
        named.insert(background);

    EXPECT_TRUE(named.contains("res/mainWnd/installBtnAnimate/074.png"));
    for (const std::string& picture : named) {
        if (kKnownAbsent.contains(picture)) {
            EXPECT_FALSE(fs::exists(kSkin / picture)) << picture;
        } else {
            EXPECT_NE(TestSupport::PngSize(kSkin / picture), std::make_pair(0u, 0u))
                << picture << " is missing or no PNG";
        }
    }
    for (const std::string& absent : kKnownAbsent)
        EXPECT_TRUE(named.contains(absent)) << absent;
}

TEST(ShippedSkin, PicturesHaveTheSizesTheirControlsGiveThem) {
    const struct {
        const char* picture;
        unsigned width, height;
    } cases[] = {
        {"res/mainWnd/bg1.png", 600, 400},
        {"res/mainWnd/logo.png", 273, 70},
        {"res/mainWnd/installBtn1.png", 200, 46},
        {"res/mainWnd/experienceBtn3.png", 200, 46},
        {"res/mainWnd/backBtn2.png", 64, 30},
        {"res/common/closebtn1.png", 24, 24},
        {"res/mainWnd/Cb2.png", 15, 14},
        {"res/mainWnd/customeBtn1.png", 16, 16},
        {"res/mainWnd/tipLbl.png", 116, 32},
        {"res/mainWnd/installDirEdit.png", 340, 36},
        {"res/mainWnd/chDirBtn1.png", 81, 36},
        {"res/mainWnd/installBtnAnimate/000.png", 157, 156},
        {"res/mainWnd/installBtnAnimate/074.png", 157, 156},
        {"res/mainWnd/finished.png", 80, 80},
        {"res/MessageBoxWnd/icoQuest.png", 40, 40},
        {"res/MessageBoxWnd/icoNetwork.png", 40, 40},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TestSupport::PngSize(kSkin / c.picture), std::make_pair(c.width, c.height)) << c.picture;
}
