// Every test program starts here. It moves every per-user and per-machine location the installer
// derives from the environment into a private temporary root, so no test touches the real user's
// files, and removes that root at the end.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

int main(int argc, char** argv) {
    std::setlocale(LC_CTYPE, "");
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/tovaclip-test.XXXXXX";
    if (!mkdtemp(pattern.data()))
        return 2;
    const std::filesystem::path root = pattern;
    const char* folders[][2] = {{"HOME", "home"},
                                {"XDG_CONFIG_HOME", "config"},
                                {"XDG_DATA_HOME", "data"},
                                {"XDG_CACHE_HOME", "cache"},
                                {"XDG_RUNTIME_DIR", "run"},
                                {"TMPDIR", "tmp"},
                                {"PROGRAMFILES", "programs"},
                                {"PUBLIC", "public"}};
    for (auto& [name, folder] : folders) {
        std::filesystem::create_directories(root / folder);
        setenv(name, (root / folder).c_str(), 1);
    }
    unsetenv("APPDATA");
    testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
    return result;
}
