// skin-art <folder>: draws the installer skin's pictures into <folder>/res/... (mainWnd, common,
// MessageBoxWnd). The pictures are the skin's source art and live in skin/res; this program stays so
// that they can be redrawn when the artwork changes. Flat shapes in the product's blue, anti-aliased
// by distance to their outlines; button captions are part of their pictures. Every run writes the same
// files. Exit status: 0 done, 1 a picture could not be written, 2 wrong command line.
#include "platform/Canvas.h"
#include "tools/artwork/Shading.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>

namespace fs = std::filesystem;
using namespace Artwork;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kFrameCount = 75;
constexpr const wchar_t* kTextFace = L"Microsoft YaHei,WenQuanYi Micro Hei";
constexpr const wchar_t* kWordmarkFace = L"DejaVu Sans";

// The product's colours.
const Colour kBlue = Hex(0x1675FE);
const Colour kBlueHot = Hex(0x3D8BFE); // lighter on hover, yet white captions stay readable
const Colour kBluePushed = Hex(0x1365DB);
const Colour kBlueLight = Hex(0x1890FF);
const Colour kWhite = Hex(0xFFFFFF);
const Colour kInk = Hex(0x282A43);
const Colour kGrey = Hex(0x8991AF);
const Colour kLine = Hex(0xD6DCE5);

// A stroke through three points, as a check mark or a chevron is drawn; `width` is the pen.
double PolylineDistance(double x, double y, double x1, double y1, double x2, double y2, double x3, double y3,
                        double width) {
    return std::min(SegmentDistance(x, y, x1, y1, x2, y2), SegmentDistance(x, y, x2, y2, x3, y3)) - width / 2;
}

std::uint32_t Argb(const Colour& colour) {
    auto byte = [](double value) {
        return static_cast<std::uint32_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255));
    };
    return byte(colour.alpha) << 24 | byte(colour.red) << 16 | byte(colour.green) << 8 | byte(colour.blue);
}

// Text laid into a picture: centred in the whole picture unless placed otherwise.
struct Caption {
    Caption(std::wstring text, int size, Colour colour) : text(std::move(text)), size(size), colour(colour) {}

    Caption& in(const Platform::Rect& area) {
        box = area;
        return *this;
    }
    Caption& leftAligned() {
        style = (style & ~Platform::TextStyle::kCenter) | Platform::TextStyle::kLeft;
        return *this;
    }
    Caption& bold(const wchar_t* boldFace) {
        isBold = true;
        face = boldFace;
        return *this;
    }

    std::wstring text;
    int size;
    Colour colour;
    bool isBold = false;
    const wchar_t* face = kTextFace;
    Platform::Rect box; // empty: the whole picture
    unsigned style =
        Platform::TextStyle::kCenter | Platform::TextStyle::kVCenter | Platform::TextStyle::kSingleLine;
};

class SkinArt {
public:
    explicit SkinArt(fs::path folder) : m_Folder(std::move(folder)) {}

    bool ok() const { return m_Ok; }
    int count() const { return m_Count; }

    // `shade(x, y)` gives each pixel's colour at its centre; the captions are drawn over it.
    void picture(const std::string& name, int width, int height,
                 const std::function<Colour(double, double)>& shade,
                 std::initializer_list<Caption> captions = {}) {
        Platform::Surface surface(width, height);
        auto* data = surface.data();
        for (int y = 0; y < height; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(data + y * surface.stride());
            for (int x = 0; x < width; ++x) {
                const Colour colour = shade(x + 0.5, y + 0.5);
                const double alpha = std::clamp(colour.alpha, 0.0, 1.0);
                auto channel = [&](double value) {
                    return static_cast<std::uint32_t>(std::lround(std::clamp(value, 0.0, 1.0) * alpha * 255));
                };
                row[x] = static_cast<std::uint32_t>(std::lround(alpha * 255)) << 24 |
                         channel(colour.red) << 16 | channel(colour.green) << 8 | channel(colour.blue);
            }
        }
        surface.markDirty();
        if (captions.size() > 0) {
            Platform::Canvas canvas(surface);
            for (const Caption& caption : captions) {
                Platform::Font font;
                font.face = caption.face;
                font.pixelSize = caption.size;
                font.bold = caption.isBold;
                const Platform::Rect box =
                    caption.box.width() > 0 ? caption.box : Platform::Rect{0, 0, width, height};
                canvas.drawText(caption.text, box, font, Argb(caption.colour), caption.style);
            }
        }
        const fs::path path = m_Folder / name;
        std::error_code error;
        fs::create_directories(path.parent_path(), error);
        if (error || !surface.writePng(path.string())) {
            std::fprintf(stderr, "skin-art: cannot write %s\n", path.string().c_str());
            m_Ok = false;
        }
        ++m_Count;
    }

private:
    fs::path m_Folder;
    bool m_Ok = true;
    int m_Count = 0;
};

enum class State { Normal, Hot, Pushed };
constexpr State kStates[] = {State::Normal, State::Hot, State::Pushed};

// The picture number of a state in the skin's names: 1 normal, 2 hot, 3 pushed.
std::string Numbered(const std::string& prefix, State state) {
    return prefix + std::to_string(static_cast<int>(state) + 1) + ".png";
}

Colour FilledBlue(State state) {
    return state == State::Hot ? kBlueHot : state == State::Pushed ? kBluePushed : kBlue;
}

// The page backgrounds share one look: white, washed with light blue from the top, a few faint
// circles in the upper right, and a hairline frame at the window's edge.
void Backgrounds(SkinArt& art) {
    for (int page = 1; page <= 4; ++page) {
        art.picture("res/mainWnd/bg" + std::to_string(page) + ".png", 600, 400, [](double x, double y) {
            Colour colour = Mix(Hex(0xE8F1FF), kWhite, y / 200);
            colour = Layer(colour, WithAlpha(kBlue, 0.05), Coverage(CircleDistance(x, y, 548, 18, 118)));
            colour = Layer(colour, WithAlpha(kBlue, 0.04), Coverage(CircleDistance(x, y, 610, 150, 74)));
            colour = Layer(colour, WithAlpha(kBlueLight, 0.04), Coverage(CircleDistance(x, y, 36, 380, 90)));
            const double frame = -RoundedBoxDistance(x, y, 0, 0, 600, 400, 0);
            return Layer(colour, Hex(0xCFD8E6), Coverage(frame - 1));
        });
    }
}

void TitleButtons(SkinArt& art) {
    // The glyphs sit on a soft square that appears under the pointer.
    auto button = [&](const std::string& name, int size, State state,
                      const std::function<double(double, double)>& glyph, const Colour& hotGlyph) {
        art.picture(name, size, size, [&](double x, double y) {
            Colour colour;
            if (state != State::Normal) {
                const double square = RoundedBoxDistance(x, y, 1, 1, size - 1, size - 1, 4);
                colour = Layer(colour, Hex(0x1A2B4C, state == State::Hot ? 0.07 : 0.13), Coverage(square));
            }
            return Layer(colour, state == State::Normal ? kGrey : hotGlyph, Coverage(glyph(x, y)));
        });
    };
    for (State state : kStates) {
        button(
            Numbered("res/common/minbtn", state), 24, state,
            [](double x, double y) { return SegmentDistance(x, y, 7, 12.5, 17, 12.5) - 0.8; }, kInk);
        button(
            Numbered("res/common/closebtn", state), 24, state,
            [](double x, double y) {
                return std::min(SegmentDistance(x, y, 7.5, 7.5, 16.5, 16.5),
                                SegmentDistance(x, y, 16.5, 7.5, 7.5, 16.5)) -
                       0.8;
            },
            kInk);
        button(
            Numbered("res/common/closebtnM_", state), 30, state,
            [](double x, double y) {
                return std::min(SegmentDistance(x, y, 10.5, 10.5, 19.5, 19.5),
                                SegmentDistance(x, y, 19.5, 10.5, 10.5, 19.5)) -
                       0.75;
            },
            kInk);
    }
}

void BackButton(SkinArt& art) {
    for (State state : kStates) {
        const Colour ink = state == State::Normal ? Hex(0x606178) : state == State::Hot ? kBlue : kBluePushed;
        art.picture(Numbered("res/mainWnd/backBtn", state), 64, 30,
                    [&](double x, double y) {
                        Colour colour;
                        if (state != State::Normal)
                            colour = Layer(colour, WithAlpha(kBlue, state == State::Hot ? 0.07 : 0.13),
                                           Coverage(RoundedBoxDistance(x, y, 0.5, 0.5, 63.5, 29.5, 15)));
                        return Layer(colour, ink,
                                     Coverage(PolylineDistance(x, y, 18, 9.5, 12.5, 15, 18, 20.5, 1.7)));
                    },
                    {Caption(L"返回", 14, ink).in({24, 0, 60, 30})});
    }
}

void Logo(SkinArt& art) {
    // A rounded tile with a play mark beside the product's name.
    art.picture(
        "res/mainWnd/logo.png", 273, 70,
        [](double x, double y) {
            const double tile = RoundedBoxDistance(x, y, 2, 5, 62, 65, 15);
            Colour colour = WithAlpha(Mix(Hex(0x49A6FF), kBlue, (x + y - 7) / 120), Coverage(tile));
            // Film notches along the tile's left and right, then the play triangle.
            for (double notch : {18.0, 35.0, 52.0}) {
                colour = Layer(colour, WithAlpha(kWhite, 0.35),
                               Coverage(RoundedBoxDistance(x, y, 8, notch - 3, 13, notch + 3, 1.5)));
                colour = Layer(colour, WithAlpha(kWhite, 0.35),
                               Coverage(RoundedBoxDistance(x, y, 51, notch - 3, 56, notch + 3, 1.5)));
            }
            const double play = std::max({25.5 - x, (x - 25.5) * 0.58 + std::abs(y - 35) - 13});
            colour = Layer(colour, kWhite, Coverage(play) * Coverage(tile));
            return colour;
        },
        {Caption(L"Tovaclip", 33, Hex(0x1A2233)).bold(kWordmarkFace).in({74, 2, 273, 46}).leftAligned(),
         Caption(L"视频格式转换", 14, kGrey).in({76, 46, 273, 66}).leftAligned()});
}

// Filled blue buttons with their caption: the install buttons, the finished page's button and the
// directory button.
void FilledButtons(SkinArt& art) {
    struct Kind {
        std::string prefix;
        int width, height;
        double radius;
        std::wstring caption;
        int size;
    };
    const Kind kinds[] = {{"res/mainWnd/installBtn", 200, 46, 23, L"立即安装", 18},
                          {"res/mainWnd/experienceBtn", 200, 46, 23, L"立即体验", 18},
                          {"res/mainWnd/chDirBtn", 81, 36, 4, L"浏览", 16}};
    for (const Kind& kind : kinds) {
        for (State state : kStates) {
            art.picture(Numbered(kind.prefix, state), kind.width, kind.height,
                        [&](double x, double y) {
                            const double box = RoundedBoxDistance(x, y, 0.5, 0.5, kind.width - 0.5,
                                                                  kind.height - 0.5, kind.radius);
                            Colour fill = FilledBlue(state);
                            if (state != State::Pushed)
                                fill = Mix(Over(WithAlpha(kWhite, 0.10), fill), fill, y / kind.height);
                            return WithAlpha(fill, Coverage(box));
                        },
                        {Caption(kind.caption, kind.size, kWhite)});
        }
    }
}

void Agreement(SkinArt& art) {
    // The hint bubble above the agreement box; its tail points down at the box.
    art.picture("res/mainWnd/tipLbl.png", 116, 32,
                [](double x, double y) {
                    const double bubble = RoundedBoxDistance(x, y, 0.5, 0.5, 115.5, 26, 4);
                    const double tail = std::max(y - 31.5, std::abs(x - 17.5) + (y - 31.5) * 1.0);
                    return WithAlpha(kInk, 0.92 * Coverage(std::min(bubble, tail)));
                },
                {Caption(L"请先同意用户协议", 12, kWhite).in({0, 0, 116, 26})});

    art.picture("res/mainWnd/Cb1.png", 15, 14, [](double x, double y) {
        const double box = RoundedBoxDistance(x, y, 1, 0.5, 14, 13.5, 2.5);
        Colour colour = Layer({}, Hex(0xB4BCCB), Coverage(box));
        return Layer(colour, kWhite, Coverage(box + 1));
    });
    art.picture("res/mainWnd/Cb2.png", 15, 14, [](double x, double y) {
        const double box = RoundedBoxDistance(x, y, 1, 0.5, 14, 13.5, 2.5);
        Colour colour = WithAlpha(kBlue, Coverage(box));
        return Layer(colour, kWhite, Coverage(PolylineDistance(x, y, 4.3, 7, 6.7, 9.4, 10.9, 4.6, 1.6)));
    });

    // The arrow beside "自定义安装".
    for (State state : {State::Normal, State::Hot}) {
        const Colour ink = state == State::Normal ? Hex(0x606178) : kInk;
        art.picture(Numbered("res/mainWnd/customeBtn", state), 16, 16, [&](double x, double y) {
            return WithAlpha(ink, Coverage(PolylineDistance(x, y, 6, 4, 10.5, 8, 6, 12, 1.5)));
        });
    }
}

void CustomPage(SkinArt& art) {
    art.picture("res/mainWnd/installDirEdit.png", 340, 36, [](double x, double y) {
        const double box = RoundedBoxDistance(x, y, 0.5, 0.5, 339.5, 35.5, 4);
        Colour colour = WithAlpha(kLine, Coverage(box));
        return Layer(colour, kWhite, Coverage(box + 1));
    });
}

// The progress page's animation: a ring whose blue arc with a fading tail goes round once in 75
// frames, around a download arrow that bobs twice in the same time.
void InstallAnimation(SkinArt& art) {
    constexpr double cx = 78.5, cy = 78, radius = 62, pen = 8, span = 1.55 * kPi;
    for (int frame = 0; frame < kFrameCount; ++frame) {
        const double head = -kPi / 2 + 2 * kPi * frame / kFrameCount;
        const double bob = 3 * std::sin(2 * kPi * 2 * frame / kFrameCount);
        char name[64];
        std::snprintf(name, sizeof name, "res/mainWnd/installBtnAnimate/%03d.png", frame);
        art.picture(name, 157, 156, [&](double x, double y) {
            const double ring = std::abs(CircleDistance(x, y, cx, cy, radius)) - pen / 2;
            Colour colour = Layer({}, Hex(0xF1F6FF), Coverage(CircleDistance(x, y, cx, cy, radius - 10)));
            colour = Layer(colour, Hex(0xE3EDFC), Coverage(ring));
            // How far behind the head this point of the ring lies, 0 to 2π.
            const double behind = std::fmod(head - std::atan2(y - cy, x - cx) + 4 * kPi, 2 * kPi);
            if (behind < span)
                colour = Layer(colour, Mix(kBlue, kBlueLight, behind / span),
                               Coverage(ring) * (1 - behind / span));
            const double cap =
                CircleDistance(x, y, cx + radius * std::cos(head), cy + radius * std::sin(head), pen / 2);
            colour = Layer(colour, kBlue, Coverage(cap));

            const double ay = cy - 4 + bob;
            const double arrow = std::min(SegmentDistance(x, y, cx, ay - 20, cx, ay + 12) - 2.2,
                                          PolylineDistance(x, y, cx - 12, ay, cx, ay + 12, cx + 12, ay, 4.4));
            const double tray =
                PolylineDistance(x, y, cx - 19, cy + 16, cx - 19, cy + 24, cx + 19, cy + 24, 4.4);
            const double tray2 = SegmentDistance(x, y, cx + 19, cy + 24, cx + 19, cy + 16) - 2.2;
            return Layer(colour, kBlue, Coverage(std::min({arrow, tray, tray2})));
        });
    }
}

void ProgressBar(SkinArt& art) {
    // Small pieces with 2-pixel corners; the layout stretches their middles along the bar.
    art.picture("res/mainWnd/installPrg1.png", 20, 8, [](double x, double y) {
        return WithAlpha(Hex(0xE3EAF5), Coverage(RoundedBoxDistance(x, y, 0, 0, 20, 8, 2)));
    });
    art.picture("res/mainWnd/installPrg2.png", 20, 8, [](double x, double y) {
        return WithAlpha(Mix(kBlueLight, kBlue, y / 8), Coverage(RoundedBoxDistance(x, y, 0, 0, 20, 8, 2)));
    });
}

void FinishedMark(SkinArt& art) {
    art.picture("res/mainWnd/finished.png", 80, 80, [](double x, double y) {
        Colour colour = WithAlpha(kBlue, 0.12 * Coverage(CircleDistance(x, y, 40, 40, 39.5)));
        colour = Layer(colour, Mix(Hex(0x3D95FF), kBlue, y / 80), Coverage(CircleDistance(x, y, 40, 40, 33)));
        return Layer(colour, kWhite, Coverage(PolylineDistance(x, y, 26, 41, 36, 51, 55, 31, 5)));
    });
}

// The message windows' 40 × 40 icons: a disc with a white sign.
void MessageIcons(SkinArt& art) {
    const Colour orange = Hex(0xFA9D14);
    art.picture("res/MessageBoxWnd/icoQuest.png", 40, 40,
                [](double x, double y) {
                    return WithAlpha(kBlueLight, Coverage(CircleDistance(x, y, 20, 20, 19.5)));
                },
                {Caption(L"?", 27, kWhite).bold(kWordmarkFace)});
    art.picture("res/MessageBoxWnd/icoWarn.png", 40, 40, [&](double x, double y) {
        Colour colour = WithAlpha(orange, Coverage(CircleDistance(x, y, 20, 20, 19.5)));
        const double mark =
            std::min(SegmentDistance(x, y, 20, 10.5, 20, 23) - 2, CircleDistance(x, y, 20, 29, 2.4));
        return Layer(colour, kWhite, Coverage(mark));
    });
    art.picture("res/MessageBoxWnd/icoNetwork.png", 40, 40, [&](double x, double y) {
        Colour colour = WithAlpha(orange, Coverage(CircleDistance(x, y, 20, 20, 19.5)));
        // Three arcs above a dot, the usual sign of a wireless signal.
        const double angle = std::atan2(y - 28, x - 20);
        const bool upward = angle < -kPi / 4 && angle > -3 * kPi / 4;
        double mark = CircleDistance(x, y, 20, 28, 2.6);
        for (double arc : {7.0, 13.0, 19.0 - 0.5}) {
            const double ring = std::abs(CircleDistance(x, y, 20, 28, arc)) - 1.5;
            if (upward)
                mark = std::min(mark, ring);
            else // rounded ends where the arc stops
                for (double end : {-kPi / 4, -3 * kPi / 4})
                    mark = std::min(
                        mark, CircleDistance(x, y, 20 + arc * std::cos(end), 28 + arc * std::sin(end), 1.5));
        }
        return Layer(colour, kWhite, Coverage(mark) * Coverage(CircleDistance(x, y, 20, 20, 17)));
    });
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: skin-art <folder>\n", stderr);
        return 2;
    }
    SkinArt art{fs::path(argv[1])};
    Backgrounds(art);
    TitleButtons(art);
    BackButton(art);
    Logo(art);
    FilledButtons(art);
    Agreement(art);
    CustomPage(art);
    InstallAnimation(art);
    ProgressBar(art);
    FinishedMark(art);
    MessageIcons(art);
    if (!art.ok())
        return 1;
    std::printf("%d pictures\n", art.count());
    return 0;
}
