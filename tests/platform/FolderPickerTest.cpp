#include "platform/FolderPicker.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace {

// A dialog program of the desktop, played by a script on PATH.
void WriteDialog(const std::filesystem::path& folder, const std::string& name, const std::string& body) {
    const std::filesystem::path program = folder / name;
    TestSupport::WriteFile(program, "#!/bin/sh\n" + body + "\n");
    chmod(program.c_str(), 0755);
}

} // namespace

TEST(FolderPicker, TakesTheFirstDialogThereIsAndItsAnswer) {
    struct Case {
        const char* zenity;  // script body, or null for no zenity
        const char* kdialog; // script body, or null for no kdialog
        std::optional<std::wstring> expected;
    } cases[] = {
        {"echo \"/home/用户/My Folder\"", "echo /elsewhere", L"/home/用户/My Folder"},
        {"exit 1", "echo /elsewhere", std::nullopt}, // cancelled: the other dialog is not asked
        {nullptr, "echo /from/kdialog", L"/from/kdialog"},
        {"exit 0", nullptr, std::nullopt}, // accepted with nothing chosen
        {nullptr, nullptr, std::nullopt},
    };
    for (const Case& c : cases) {
        TestSupport::TempDir bin;
        if (c.zenity)
            WriteDialog(bin.path(), "zenity", c.zenity);
        if (c.kdialog)
            WriteDialog(bin.path(), "kdialog", c.kdialog);
        // Only the scripts: the machine's own dialogs must not answer.
        ScopedEnvironment environment;
        environment.Set("PATH", bin.path().string());
        EXPECT_EQ(Platform::PickFolder(L"选择一个文件夹"), c.expected)
            << (c.zenity ? c.zenity : "-") << " / " << (c.kdialog ? c.kdialog : "-");
    }
}
