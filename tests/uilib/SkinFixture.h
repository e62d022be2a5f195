#pragma once

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace SkinFixture {

// tests/fixtures/skin: mainWnd.xml, res/mainWnd/bg1.png (2 x 2, with alpha), res/common/opaque.png
// (3 x 1, no alpha).
inline std::filesystem::path Folder() {
    return std::filesystem::path(TOVACLIP_SOURCE_DIR) / "tests/fixtures/skin";
}

inline std::vector<uint8_t> Bytes(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

inline std::vector<uint8_t> FileBytes(const std::filesystem::path& path) {
    return Bytes(TestSupport::ReadFile(path));
}

// Packs `folder` with skin-pack into `archive` and returns the archive's bytes.
inline std::vector<uint8_t> Pack(const std::filesystem::path& folder, const std::filesystem::path& archive) {
    auto result = TestSupport::RunCommand(TestSupport::BinPath("skin-pack").string() + " '" +
                                          folder.string() + "' '" + archive.string() + "' 2>&1");
    EXPECT_EQ(result.status, 0) << result.output;
    return FileBytes(archive);
}

} // namespace SkinFixture
