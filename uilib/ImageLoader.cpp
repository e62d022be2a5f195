#include "uilib/ImageLoader.h"

#include "platform/Resources.h"
#include "uilib/Colour.h"
#include "utils/TextConversion.h"

#include <climits>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stb/stb_image.h>
#include <vector>

namespace UiLib {

namespace {

constexpr unsigned kUtf8 = 65001;

struct StbFree {
    void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

std::unique_ptr<ImageEntry> FromRgba(const uint8_t* rgba, int width, int height, uint32_t mask) {
    auto image = std::make_unique<ImageEntry>();
    image->width = width;
    image->height = height;
    image->mask = mask;
    image->pixels.resize(size_t(width) * size_t(height));
    for (uint32_t& pixel : image->pixels) {
        uint32_t red = rgba[0], green = rgba[1], blue = rgba[2], alpha = rgba[3];
        rgba += 4;
        if (alpha != 255) {
            red = red * alpha / 255;
            green = green * alpha / 255;
            blue = blue * alpha / 255;
            image->hasAlpha = true;
        }
        pixel = alpha << 24 | red << 16 | green << 8 | blue;
        if (pixel == mask) {
            pixel = 0;
            image->hasAlpha = true;
        }
    }
    return image;
}

std::unique_ptr<ImageEntry> ColorImage(const std::wstring& name, uint32_t mask) {
    uint32_t color = ParseColour(name);
    const uint8_t rgba[4] = {uint8_t(color >> 16), uint8_t(color >> 8), uint8_t(color), uint8_t(color >> 24)};
    return FromRgba(rgba, 1, 1, mask);
}

std::span<const uint8_t> ProgramResource(const std::wstring& name, const std::wstring& type) {
    std::string narrowType = Utils::ToNarrow(type, kUtf8);
    if (!name.empty() && name[0] >= L'0' && name[0] <= L'9')
        return Platform::FindResource(int(std::wcstol(name.c_str(), nullptr, 10)), narrowType);
    return Platform::FindResource(Utils::ToNarrow(name, kUtf8), narrowType);
}

bool ReadWholeFile(const std::wstring& path, std::vector<uint8_t>& bytes) {
    std::wstring slashed = path;
    for (wchar_t& c : slashed)
        if (c == L'\\')
            c = L'/';
    std::ifstream in{std::filesystem::path(slashed), std::ios::binary};
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

} // namespace

std::unique_ptr<ImageEntry> DecodeImage(std::span<const uint8_t> bytes, uint32_t mask) {
    if (bytes.empty() || bytes.size() > size_t(INT_MAX))
        return nullptr;
    int width = 0, height = 0, channels = 0;
    std::unique_ptr<stbi_uc, StbFree> rgba(
        stbi_load_from_memory(bytes.data(), int(bytes.size()), &width, &height, &channels, 4));
    if (!rgba)
        return nullptr;
    return FromRgba(rgba.get(), width, height, mask);
}

std::unique_ptr<ImageEntry> LoadImage(const SkinResources& resources, const std::wstring& name,
                                      const std::wstring& type, uint32_t mask) {
    if (type == kColorImageType)
        return ColorImage(name, mask);
    if (!type.empty())
        return DecodeImage(ProgramResource(name, type), mask);

    std::vector<uint8_t> bytes;
    bool found = resources.ArchiveName().empty() ? ReadWholeFile(resources.ResourcePath() + name, bytes)
                                                 : resources.ReadArchiveEntry(name, bytes);
    if (!found && !ReadWholeFile(name, bytes))
        return nullptr;
    return DecodeImage(bytes, mask);
}

} // namespace UiLib
