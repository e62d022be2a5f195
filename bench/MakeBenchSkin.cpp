// make-bench-skin <folder>: writes the skin the UI benchmarks load: a 600 × 400 installer window of
// 100 pictures (background, title buttons and a custom-install button in four states each, a panel,
// progress bar pieces, check boxes, and the 75 frames of the 157 × 156 install animation) and its
// layout, benchWnd.xml. The pictures are drawn like the installer's artwork (gradients, soft edges,
// anti-aliased shapes, translucent parts) with a little noise, so that they compress as such
// artwork does rather than as flat colour. The same folder is written on every run.
#include "platform/Canvas.h"
#include "tools/artwork/Shading.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <system_error>

namespace fs = std::filesystem;
using namespace Artwork;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kFrameCount = 75;

// One picture, painted pixel by pixel and written as PNG. The noise is the grain of real artwork;
// a fixed seed keeps every build's skin identical.
class Picture {
public:
    Picture(int width, int height, std::uint32_t seed) : m_Surface(width, height), m_Seed(seed | 1) {}

    // `shade(x, y)` gives each pixel's colour at its centre; `grain` is the noise in 1/255 steps.
    void paint(const std::function<Colour(double, double)>& shade, double grain) {
        std::uint8_t* data = m_Surface.data();
        for (int y = 0; y < m_Surface.height(); ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(data + y * m_Surface.stride());
            for (int x = 0; x < m_Surface.width(); ++x) {
                const Colour colour = shade(x + 0.5, y + 0.5);
                const double noise = grain * (Random() * 2 - 1) / 255.0;
                const double alpha = std::clamp(colour.alpha, 0.0, 1.0);
                auto channel = [&](double value) {
                    return static_cast<std::uint32_t>(
                        std::lround(std::clamp(value + noise, 0.0, 1.0) * alpha * 255));
                };
                row[x] = static_cast<std::uint32_t>(std::lround(alpha * 255)) << 24 |
                         channel(colour.red) << 16 | channel(colour.green) << 8 | channel(colour.blue);
            }
        }
        m_Surface.markDirty();
    }

    bool write(const fs::path& path) const { return m_Surface.writePng(path.string()); }

private:
    double Random() {
        m_Seed ^= m_Seed << 13;
        m_Seed ^= m_Seed >> 17;
        m_Seed ^= m_Seed << 5;
        return (m_Seed & 0xFFFFFF) / double(0xFFFFFF);
    }

    Platform::Surface m_Surface;
    std::uint32_t m_Seed;
};

class SkinWriter {
public:
    explicit SkinWriter(fs::path folder) : m_Folder(std::move(folder)) {}

    bool ok() const { return m_Ok; }
    int count() const { return m_Count; }

    void picture(const std::string& name, int width, int height, double grain,
                 const std::function<Colour(double, double)>& shade) {
        Picture picture(width, height,
                        2166136261u ^ static_cast<std::uint32_t>(std::hash<std::string>{}(name)));
        picture.paint(shade, grain);
        const fs::path path = m_Folder / name;
        std::error_code error;
        fs::create_directories(path.parent_path(), error);
        if (error || !picture.write(path)) {
            std::fprintf(stderr, "make-bench-skin: cannot write %s\n", path.string().c_str());
            m_Ok = false;
        }
        ++m_Count;
    }

    void text(const std::string& name, const std::string& content) {
        std::ofstream out(m_Folder / name, std::ios::binary);
        out << content;
        if (!out) {
            std::fprintf(stderr, "make-bench-skin: cannot write %s\n", name.c_str());
            m_Ok = false;
        }
    }

private:
    fs::path m_Folder;
    bool m_Ok = true;
    int m_Count = 0;
};

const Colour kWhite = Hex(0xFFFFFF);

void Background(SkinWriter& skin) {
    skin.picture("res/mainWnd/bg.png", 600, 400, 3, [](double x, double y) {
        Colour colour = Mix(Hex(0x2475DE), Hex(0x0B3C7A), y / 400);
        const double light = std::exp(-(std::pow(x - 450, 2) + std::pow(y - 60, 2)) / (2 * 160.0 * 160.0));
        return Over(WithAlpha(kWhite, 0.28 * light), colour);
    });
    skin.picture("res/mainWnd/logo.png", 28, 28, 2, [](double x, double y) {
        const double disc = std::hypot(x - 14, y - 14) - 12.5;
        Colour colour = WithAlpha(Mix(Hex(0xFFB03A), Hex(0xF06A1A), y / 28), Coverage(disc));
        // A play mark: the triangle is the largest of its three edge distances.
        const double edge = std::max({10.5 - x, (x - 10.5) * 0.5 + std::abs(y - 14) - 6.5});
        return Over(WithAlpha(kWhite, Coverage(edge) * Coverage(disc)), colour);
    });
    // Nine-slice panel (corner 12): translucent white over a soft shadow.
    skin.picture("res/mainWnd/panel.png", 560, 150, 1, [](double x, double y) {
        const double box = RoundedBoxDistance(x, y, 4, 3, 556, 145, 10);
        const Colour shadow = WithAlpha(Hex(0x000000), 0.22 * std::exp(-std::max(box, 0.0) / 2));
        return Over(WithAlpha(Mix(Hex(0xFFFFFF, 0.94), Hex(0xEEF3FA, 0.94), y / 150), Coverage(box)), shadow);
    });
}

// The glyph of a title button at (x, y): distance to its strokes.
double TitleGlyph(const std::string& kind, double x, double y) {
    if (kind == "close")
        return std::min(SegmentDistance(x, y, 10, 10, 20, 20), SegmentDistance(x, y, 20, 10, 10, 20)) - 0.8;
    if (kind == "min")
        return SegmentDistance(x, y, 10, 15.5, 20, 15.5) - 0.8;
    return std::min({SegmentDistance(x, y, 10, 11, 20, 11), SegmentDistance(x, y, 10, 15.5, 20, 15.5),
                     SegmentDistance(x, y, 10, 20, 20, 20)}) -
           0.8;
}

const char* const kStates[] = {"normal", "hot", "pushed", "disabled"};

void TitleButtons(SkinWriter& skin) {
    for (const std::string kind : {"menu", "min", "close"}) {
        for (int state = 0; state < 4; ++state) {
            skin.picture("res/common/" + kind + "_" + kStates[state] + ".png", 30, 30, 1,
                         [&](double x, double y) {
                             const double box = RoundedBoxDistance(x, y, 1, 1, 29, 29, 4);
                             Colour back;
                             if (state == 1)
                                 back = kind == "close" ? Hex(0xE81123, 0.9) : Hex(0xFFFFFF, 0.18);
                             else if (state == 2)
                                 back = kind == "close" ? Hex(0xB50E1C, 0.95) : Hex(0xFFFFFF, 0.32);
                             back = WithAlpha(back, Coverage(box));
                             const Colour ink = state == 3 ? Hex(0xC8D2E0, 0.45) : kWhite;
                             return Over(WithAlpha(ink, Coverage(TitleGlyph(kind, x, y))), back);
                         });
        }
    }
}

void CustomButton(SkinWriter& skin) {
    const Colour fills[] = {Hex(0xFFFFFF, 0.0), Hex(0xE3EEFC), Hex(0xC9DDF8), Hex(0xF0F0F0)};
    const Colour borders[] = {Hex(0x2475DE), Hex(0x1E66C4), Hex(0x17539F), Hex(0xB8B8B8)};
    for (int state = 0; state < 4; ++state) {
        skin.picture(std::string("res/mainWnd/custom_") + kStates[state] + ".png", 120, 34, 1.5,
                     [&](double x, double y) {
                         const double box = RoundedBoxDistance(x, y, 0.5, 0.5, 119.5, 33.5, 16.5);
                         const Colour fill = WithAlpha(
                             Mix(fills[state], Hex(0xFFFFFF, fills[state].alpha), y / 60), Coverage(box));
                         return Over(WithAlpha(borders[state], Coverage(std::abs(box + 0.5) - 0.5)), fill);
                     });
    }
}

void ProgressAndChecks(SkinWriter& skin) {
    skin.picture("res/mainWnd/progress_bk.png", 480, 10, 1, [](double x, double y) {
        return WithAlpha(Mix(Hex(0xD5DDE8), Hex(0xE6ECF3), y / 10),
                         Coverage(RoundedBoxDistance(x, y, 0, 0, 480, 10, 5)));
    });
    skin.picture("res/mainWnd/progress_fore.png", 480, 10, 2, [](double x, double y) {
        Colour colour = Mix(Hex(0x2FC25B), Hex(0x2475DE), x / 480);
        const double stripe = std::fmod(x + y * 1.2, 16.0) < 8 ? 0.12 : 0.0;
        colour = Over(WithAlpha(kWhite, stripe), colour);
        return WithAlpha(colour, Coverage(RoundedBoxDistance(x, y, 0, 0, 480, 10, 5)));
    });
    const char* const names[] = {"normal", "hot", "selected", "selectedhot"};
    for (int state = 0; state < 4; ++state) {
        skin.picture(std::string("res/common/check_") + names[state] + ".png", 16, 16, 1,
                     [&](double x, double y) {
                         const bool selected = state >= 2, hot = state % 2 == 1;
                         const double box = RoundedBoxDistance(x, y, 1, 1, 15, 15, 3);
                         const Colour border = hot ? Hex(0x1E66C4) : Hex(selected ? 0x2475DE : 0x9AA6B5);
                         const Colour fill = selected ? (hot ? Hex(0x3A86E8) : Hex(0x2475DE))
                                                      : Hex(hot ? 0xEEF5FF : 0xFFFFFF);
                         Colour colour = Over(WithAlpha(border, Coverage(std::abs(box + 0.5) - 0.5)),
                                              WithAlpha(fill, Coverage(box)));
                         if (selected) {
                             const double tick = std::min(SegmentDistance(x, y, 4.5, 8.5, 7, 11),
                                                          SegmentDistance(x, y, 7, 11, 11.5, 5.5)) -
                                                 0.9;
                             colour = Over(WithAlpha(kWhite, Coverage(tick)), colour);
                         }
                         return colour;
                     });
    }
}

// The install button's breathing glow and the highlight running around its rim.
void AnimationFrames(SkinWriter& skin) {
    for (int frame = 0; frame < kFrameCount; ++frame) {
        const double phase = 2 * kPi * frame / kFrameCount;
        const double breath = 0.5 + 0.5 * std::sin(phase);
        char name[64];
        std::snprintf(name, sizeof name, "res/mainWnd/installBtnAnimate/%03d.png", frame);
        skin.picture(name, 157, 156, 2, [&](double x, double y) {
            const double dx = x - 78.5, dy = y - 78;
            const double radius = std::hypot(dx, dy);
            const double disc = radius - 66;
            const Colour glow =
                WithAlpha(Hex(0x45D66E), (0.15 + 0.3 * breath) * std::exp(-std::max(disc, 0.0) / 4));
            Colour body = Mix(Hex(0x4CD874), Hex(0x1E9E44), (dy + 66) / 132);
            body = Over(WithAlpha(kWhite, 0.18 * std::exp(-std::pow(dy + 35, 2) / 300) * (1 - radius / 80)),
                        body);
            double angle = std::atan2(dy, dx) - phase;
            angle = std::remainder(angle, 2 * kPi);
            const double rim = std::exp(-angle * angle / 0.25) * std::exp(-std::pow(radius - 61, 2) / 8);
            body = Over(WithAlpha(kWhite, 0.75 * rim), body);
            return Over(WithAlpha(body, Coverage(disc)), glow);
        });
    }
}

// Every picture is on screen in the first frame, so the first paint needs all of them: the states a
// user would see later (hovered and pressed buttons, the animation's frames) stand in two strips at
// the bottom of the window.
std::string Layout() {
    auto states = [](const std::string& prefix) {
        return "normalimage=\"" + prefix + "_normal.png\" hotimage=\"" + prefix +
               "_hot.png\" pushedimage=\"" + prefix + "_pushed.png\" disabledimage=\"" + prefix +
               "_disabled.png\"";
    };
    std::string xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<Window size="600,400" caption="0,0,0,40" roundcorner="6,6">
    <Font id="0" name="WenQuanYi Micro Hei" size="12" default="true" />
    <Font id="1" name="WenQuanYi Micro Hei" size="16" bold="true" />
    <VerticalLayout bkimage="res/mainWnd/bg.png">
        <HorizontalLayout height="40" inset="10,6,6,4" childpadding="6">
            <Label width="28" height="28" bkimage="res/mainWnd/logo.png" />
            <Label text="Tovaclip 安装向导" font="1" textcolor="#FFFFFFFF" />
            <Button name="menubtn" width="30" height="30" )" +
                      states("res/common/menu") + R"( />
            <Button name="minbtn" width="30" height="30" )" +
                      states("res/common/min") + R"( />
            <Button name="closebtn" width="30" height="30" )" +
                      states("res/common/close") + R"( />
        </HorizontalLayout>
        <HorizontalLayout height="300" inset="20,10,20,10" bkimage="file='res/mainWnd/panel.png' corner='12,12,12,12'">
            <VerticalLayout width="197" inset="20,50,20,50">
                <SequenceLabel name="installAnimate" width="157" height="156" text="立即安装" font="1" textcolor="#FFFFFFFF" align="center" valign="center"
                    bkimage="res/mainWnd/installBtnAnimate/000.png" sequencebkimage="res/mainWnd/installBtnAnimate/%.3d.png"
                    sequencecount="75" sequencespan="30" autostart="true" />
            </VerticalLayout>
            <VerticalLayout inset="10,40,20,30" childpadding="14">
                <Label height="22" text="安装位置：/opt/Tovaclip" textcolor="#FF333333" endellipsis="true" />
                <Label height="22" text="所需空间：128 MB　可用空间：25.6 GB" textcolor="#FF666666" />
                <CheckBox height="20" selected="true" text="我已阅读并同意《用户许可协议》" align="left" textpadding="22,0,0,0" textcolor="#FF333333"
                    normalimage="file='res/common/check_normal.png' dest='0,2,16,18'" hotimage="file='res/common/check_hot.png' dest='0,2,16,18'"
                    selectedimage="file='res/common/check_selected.png' dest='0,2,16,18'" selectedhotimage="file='res/common/check_selectedhot.png' dest='0,2,16,18'" />
                <CheckBox height="20" text="开机时自动启动" align="left" textpadding="22,0,0,0" textcolor="#FF333333"
                    normalimage="file='res/common/check_normal.png' dest='0,2,16,18'" hotimage="file='res/common/check_hot.png' dest='0,2,16,18'"
                    selectedimage="file='res/common/check_selected.png' dest='0,2,16,18'" selectedhotimage="file='res/common/check_selectedhot.png' dest='0,2,16,18'" />
                <Progress name="progress" height="10" value="40" bkimage="res/mainWnd/progress_bk.png" foreimage="res/mainWnd/progress_fore.png" />
                <HorizontalLayout height="34">
                    <Button name="custombtn" width="120" text="自定义安装" textcolor="#FF2475DE" align="center" valign="center" )" +
                      states("res/mainWnd/custom") + R"( />
                </HorizontalLayout>
            </VerticalLayout>
        </HorizontalLayout>
        <HorizontalLayout height="24" inset="20,4,20,4" childpadding="4">
)";
    for (const char* prefix : {"res/common/menu", "res/common/min", "res/common/close", "res/mainWnd/custom"})
        for (int state = 1; state < 4; ++state)
            xml += std::string("            <Control width=\"16\" bkimage=\"") + prefix + "_" +
                   kStates[state] + ".png\" />\n";
    xml += "            <Control width=\"16\" bkimage=\"res/common/check_hot.png\" />\n"
           "            <Control width=\"16\" bkimage=\"res/common/check_selectedhot.png\" />\n"
           "        </HorizontalLayout>\n"
           "        <HorizontalLayout height=\"36\">\n";
    for (int frame = 0; frame < kFrameCount; ++frame) {
        char line[128];
        std::snprintf(line, sizeof line,
                      "            <Control bkimage=\"res/mainWnd/installBtnAnimate/%03d.png\" />\n", frame);
        xml += line;
    }
    xml += "        </HorizontalLayout>\n"
           "    </VerticalLayout>\n"
           "</Window>\n";
    return xml;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-bench-skin <folder>\n");
        return 2;
    }
    const fs::path folder = argv[1];
    std::error_code error;
    fs::remove_all(folder, error);
    fs::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "make-bench-skin: cannot make %s\n", folder.string().c_str());
        return 1;
    }
    SkinWriter skin(folder);
    Background(skin);
    TitleButtons(skin);
    CustomButton(skin);
    ProgressAndChecks(skin);
    AnimationFrames(skin);
    skin.text("benchWnd.xml", Layout());
    return skin.ok() ? 0 : 1;
}
