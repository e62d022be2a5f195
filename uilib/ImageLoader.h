#pragma once

#include "uilib/ImageEntry.h"
#include "uilib/SkinResources.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace UiLib {

// The resource type that makes `name` a colour ("#FFRRGGBB" or "FFRRGGBB") instead of a picture.
inline constexpr const wchar_t* kColorImageType = L"*COLOR*";

// Decodes a PNG, JPEG, BMP, ... from memory into premultiplied pixels. A pixel whose premultiplied
// value (alpha highest) equals `mask` becomes fully transparent, so a mask without alpha never
// matches an opaque pixel. Null when the bytes do not decode.
std::unique_ptr<ImageEntry> DecodeImage(std::span<const uint8_t> bytes, uint32_t mask);

// Loads `name`: a one-pixel colour for kColorImageType; a program resource of another non-empty
// type (a name starting with a digit is the resource's number); otherwise the file from the
// resources' archive or folder, falling back to `name` as a path of its own. Null when there are no
// bytes or they do not decode.
std::unique_ptr<ImageEntry> LoadImage(const SkinResources& resources, const std::wstring& name,
                                      const std::wstring& type, uint32_t mask);

} // namespace UiLib
