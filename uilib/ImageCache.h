#pragma once

#include "uilib/ImageEntry.h"
#include "uilib/SkinResources.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

namespace UiLib {

// Decoded pictures by name. Names are keys exactly as written, so "res\a.png" and "res/a.png" are
// two entries even though they read the same file.
class ImageTable {
public:
    const ImageEntry* Find(const std::wstring& name) const;
    // Frees an entry already stored under `name`, so pointers to it end here.
    const ImageEntry* Store(const std::wstring& name, std::unique_ptr<ImageEntry> image);
    void Clear() { m_Images.clear(); }
    size_t size() const { return m_Images.size(); }

private:
    std::unordered_map<std::wstring, std::unique_ptr<ImageEntry>> m_Images;
};

// A window's pictures: its own table in front of one shared by all windows. A picture is decoded
// once for the life of the table that holds it; a name that failed to load is tried again at each
// request.
class ImageCache {
public:
    // The table every window shares, for the life of the process.
    static ImageTable& SharedTable();

    explicit ImageCache(const SkinResources& resources = SkinResources::Process(),
                        ImageTable& shared = SharedTable());

    // Everything added goes to the shared table (a window that lends its pictures to others).
    void SetUseSharedResources(bool use) { m_UseShared = use; }

    // Loads and stores `name` (replacing what that table held under it): in the shared table when
    // asked or when the cache uses shared resources, otherwise in the window's own. Null for an
    // empty name or a picture that does not load.
    const ImageEntry* AddImage(const std::wstring& name, const std::wstring& type = {}, uint32_t mask = 0,
                               bool useHsl = false, bool shared = false);

    // The window's table, then the shared one; loads the picture (AddImage) when neither has it.
    const ImageEntry* GetImage(const std::wstring& name, const std::wstring& type = {}, uint32_t mask = 0,
                               bool useHsl = false);

    const ImageTable& OwnTable() const { return m_Own; }

private:
    const SkinResources& m_Resources;
    ImageTable& m_Shared;
    ImageTable m_Own;
    bool m_UseShared = false;
};

} // namespace UiLib
