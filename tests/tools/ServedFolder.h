#pragma once

#include "tests/support/DownloadServer.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

// A server over a folder with a multi-block file whose length is no multiple of the block size, and
// a three-byte file whose MD5 is a published test vector.
class ServedFolder : public testing::Test {
protected:
    static const std::string& Content() {
        static const std::string content = [] {
            std::string bytes(200'003, '\0');
            unsigned state = 12345;
            for (char& byte : bytes) {
                state = state * 1103515245 + 12345;
                byte = static_cast<char>(state >> 16);
            }
            return bytes;
        }();
        return content;
    }
    static constexpr const char* kAbcMd5 = "900150983cd24fb0d6963f7d28e17f72";

    static std::filesystem::path MakeRoot(const std::filesystem::path& parent) {
        const auto root = parent / "root";
        std::filesystem::create_directories(root / "sub");
        TestSupport::WriteFile(root / "Tovaclip.exe", Content());
        TestSupport::WriteFile(root / "abc.txt", "abc");
        TestSupport::WriteFile(root / "sub" / "inner.txt", "inner");
        TestSupport::WriteFile(parent / "outside.txt", "outside");
        return root;
    }

    TestSupport::TempDir m_Temp;
    std::filesystem::path m_Root{MakeRoot(m_Temp.path())};
    TestSupport::DownloadServer m_Server{m_Root};
};
