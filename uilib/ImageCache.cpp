#include "uilib/ImageCache.h"

#include "uilib/ImageLoader.h"

namespace UiLib {

const ImageEntry* ImageTable::Find(const std::wstring& name) const {
    auto it = m_Images.find(name);
    return it == m_Images.end() ? nullptr : it->second.get();
}

const ImageEntry* ImageTable::Store(const std::wstring& name, std::unique_ptr<ImageEntry> image) {
    auto& slot = m_Images[name];
    slot = std::move(image);
    return slot.get();
}

ImageTable& ImageCache::SharedTable() {
    static ImageTable table;
    return table;
}

ImageCache::ImageCache(const SkinResources& resources, ImageTable& shared)
    : m_Resources(resources), m_Shared(shared) {}

const ImageEntry* ImageCache::AddImage(const std::wstring& name, const std::wstring& type, uint32_t mask,
                                       bool useHsl, bool shared) {
    if (name.empty())
        return nullptr;
    std::unique_ptr<ImageEntry> image = LoadImage(m_Resources, name, type, mask);
    if (!image)
        return nullptr;
    image->resourceType = type;
    image->mask = mask;
    image->useHsl = useHsl;
    if (useHsl)
        image->sourcePixels = image->pixels;
    return (shared || m_UseShared ? m_Shared : m_Own).Store(name, std::move(image));
}

const ImageEntry* ImageCache::GetImage(const std::wstring& name, const std::wstring& type, uint32_t mask,
                                       bool useHsl) {
    if (const ImageEntry* image = m_Own.Find(name))
        return image;
    if (const ImageEntry* image = m_Shared.Find(name))
        return image;
    return AddImage(name, type, mask, useHsl);
}

} // namespace UiLib
