#include "platform/ProfileFile.h"
#include "platform/AtomicFile.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Platform;
using TestSupport::ReadFile;
using TestSupport::TempDir;
using TestSupport::WriteFile;

namespace {

constexpr size_t kLargeBuffer = 32768;

const char kSettings[] = "; settings of the installer\n"
                         "[General]\n"
                         "  Name =  Tovaclip \t\n"
                         "Padded=\"  two blanks  \"\n"
                         "Single='x'\n"
                         "Mismatched=\"x'\n"
                         "Empty=\n"
                         "Letters=abcdefghij\n"
                         "Dup=first\n"
                         "DUP=second\n"
                         "#Hidden=comment\n"
                         "NoEquals\n"
                         "Language=简体中文\n"
                         "Broken=a\xFF"
                         "b\n"
                         "Number=  42abc\n"
                         "Quoted=\"7\"\n"
                         "Word=abc\n"
                         "Max=2147483647\n"
                         "TooBig=2147483648\n"
                         "Huge=99999999999999999999999\n"
                         "Zeros=000123\n"
                         "Negative=-5\n"
                         "[ Other ]\n"
                         "Key=other\n"
                         "[general]\n"
                         "Later=only in the second General\n";

pid_t forkOrDie() {
    pid_t pid = fork();
    if (pid < 0)
        std::abort();
    return pid;
}

int waitForExit(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace

TEST(ProfileFile, ReadsValuesLikeWindows) {
    TempDir dir;
    const auto file = dir.path() / "settings.ini";
    WriteFile(file, kSettings);

    struct Case {
        const wchar_t* section;
        const wchar_t* key;
        size_t bufferSize;
        std::wstring expected;
    } cases[] = {
        {L"general", L"NAME", kLargeBuffer, L"Tovaclip"},
        {L"General", L"Padded", kLargeBuffer, L"  two blanks  "},
        {L"General", L"Single", kLargeBuffer, L"x"},
        {L"General", L"Mismatched", kLargeBuffer, L"\"x'"},
        {L"General", L"Empty", kLargeBuffer, L""},
        {L"General", L"Letters", 5, L"abcd"},
        {L"General", L"Letters", 1, L""},
        {L"General", L"Letters", 0, L""},
        {L"General", L"dup", kLargeBuffer, L"first"},
        {L"General", L"Language", kLargeBuffer, L"简体中文"},
        {L"General", L"Broken", kLargeBuffer, L"a\uFFFDb"},
        {L"other", L"key", kLargeBuffer, L"other"},
        // Absent: the default, cut like a value.
        {L"General", L"Later", kLargeBuffer, L"fallback"},
        {L"General", L"#Hidden", kLargeBuffer, L"fallback"},
        {L"General", L"NoEquals", kLargeBuffer, L"fallback"},
        {L"Missing", L"Name", kLargeBuffer, L"fallback"},
        {L"Missing", L"Name", 4, L"fal"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetProfileString(c.section, c.key, L"fallback", file.wstring(), c.bufferSize), c.expected)
            << c.section << L"." << c.key << L" buffer " << c.bufferSize;

    EXPECT_EQ(GetProfileString(L"General", L"Name", L"fallback", (dir.path() / "none.ini").wstring(), 100),
              L"fallback");
    EXPECT_EQ(GetProfileString(L"General", L"Name", L"fallback", dir.wide(), 100), L"fallback");
}

TEST(ProfileFile, ReadsIntegersFromLeadingDigits) {
    TempDir dir;
    const auto file = dir.path() / "settings.ini";
    WriteFile(file, kSettings);

    struct Case {
        const wchar_t* key;
        int expected;
    } cases[] = {
        {L"Number", 42},      {L"Quoted", 7},  {L"Word", 0},     {L"Empty", 0},  {L"Negative", 0},
        {L"Max", 2147483647}, {L"Zeros", 123}, {L"TooBig", -17}, {L"Huge", -17}, {L"Absent", -17},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetProfileInt(L"General", c.key, -17, file.wstring()), c.expected) << c.key;
    EXPECT_EQ(GetProfileInt(L"General", L"Number", -17, (dir.path() / "none.ini").wstring()), -17);
}

TEST(ProfileFile, AcceptsByteOrderMarkAndCrlf) {
    TempDir dir;
    const auto file = dir.path() / "settings.ini";
    WriteFile(file, "\xEF\xBB\xBF[Setup]\r\nPath = /opt/x \r\nCount=3\r\n");
    EXPECT_EQ(GetProfileString(L"setup", L"path", L"", file.wstring(), kLargeBuffer), L"/opt/x");
    EXPECT_EQ(GetProfileInt(L"Setup", L"Count", 0, file.wstring()), 3);
}

TEST(ProfileFile, WritesOnlyTheLineThatChanges) {
    struct Case {
        const char* name;
        std::string before;
        const wchar_t* section;
        const wchar_t* key;
        const wchar_t* value;
        std::string after;
    } cases[] = {
        {"replaces the first match in the first section",
         "; top\n[a]\nx = 1 ; not a comment\nk=old\nK=older\n\n[A]\nk=keep\n", L"A", L"K", L"new",
         "; top\n[a]\nx = 1 ; not a comment\nK=new\nK=older\n\n[A]\nk=keep\n"},
        {"adds a key after the section's last non-blank line", "[a]\nx=1\n; about a\n\n\n[b]\ny=2\n", L"a",
         L"k", L"v", "[a]\nx=1\n; about a\nk=v\n\n\n[b]\ny=2\n"},
        {"adds a key to an empty last section", "[a]\n[b]", L"b", L"k", L"v", "[a]\n[b]\nk=v\n"},
        {"appends a section after a last line without break", "[a]\nx=1", L"b", L"k", L"v",
         "[a]\nx=1\n[b]\nk=v\n"},
        {"keeps CRLF and the byte order mark", "\xEF\xBB\xBF[a]\r\nx=1\r\n\r\n", L"a", L"y", L"2",
         "\xEF\xBB\xBF[a]\r\nx=1\r\ny=2\r\n\r\n"},
        {"new sections use CRLF too", "[a]\r\nx=1\r\n", L"b", L"k", L"v", "[a]\r\nx=1\r\n[b]\r\nk=v\r\n"},
        {"keeps lines it cannot decode", "[a]\nraw=\xFF\xFE\nk=1\n", L"a", L"k", L"2",
         "[a]\nraw=\xFF\xFE\nk=2\n"},
        {"quotes values that would be trimmed", "", L"a", L"k", L" padded\t", "[a]\nk=\" padded\t\"\n"},
        {"stores text as UTF-8", "", L"设置", L"目录", L"安装", "[设置]\n目录=安装\n"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const auto file = dir.path() / "settings.ini";
        if (!c.before.empty())
            WriteFile(file, c.before);
        EXPECT_TRUE(WriteProfileString(c.section, c.key, c.value, file.wstring())) << c.name;
        EXPECT_EQ(ReadFile(file), c.after) << c.name;
        EXPECT_EQ(GetProfileString(c.section, c.key, L"absent", file.wstring(), kLargeBuffer), c.value)
            << c.name;
    }
}

TEST(ProfileFile, ValuesReadBackAsWritten) {
    TempDir dir;
    const std::wstring file = (dir.path() / "settings.ini").wstring();
    const wchar_t* values[] = {L"",         L" lead",      L"trail\t", L"\"quoted\"",     L"'single'",
                               L"\"",       L"\"x'",       L"a=b; c",  L"#not a comment", L"[not a section]",
                               L"简体中文", L"\" inner \""};
    for (const wchar_t* value : values) {
        ASSERT_TRUE(WriteProfileString(L"s", L"k", value, file)) << value;
        EXPECT_EQ(FindProfileString(L"s", L"k", file), value);
    }
}

TEST(ProfileFile, RefusesWhatCannotBeStored) {
    TempDir dir;
    const auto file = dir.path() / "settings.ini";
    const std::string before = "[a]\nk=1\n";
    WriteFile(file, before);
    struct Case {
        const wchar_t* section;
        const wchar_t* key;
        const wchar_t* value;
    } cases[] = {
        {L"a", L"k", L"two\nlines"}, {L"a", L"k", L"cr\r"}, {L"a", L"k=x", L"v"},
        {L"a", L" ", L"v"},          {L"", L"k", L"v"},     {L"a]b", L"k", L"v"},
        {L"a", L";k", L"v"},         {L"a", L"[k", L"v"},   {L"a\nb", L"k", L"v"},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(WriteProfileString(c.section, c.key, c.value, file.wstring())) << c.section << c.key;
    EXPECT_EQ(ReadFile(file), before);

    // The file is created, its folder is not.
    const auto nowhere = dir.path() / "missing" / "settings.ini";
    EXPECT_FALSE(WriteProfileString(L"a", L"k", L"v", nowhere.wstring()));
    EXPECT_FALSE(std::filesystem::exists(nowhere.parent_path()));
}

TEST(ProfileFile, ReplacingKeepsModeAndLeavesNoTemporaryFile) {
    TempDir dir;
    const auto file = dir.path() / "settings.ini";
    WriteFile(file, "[a]\nk=1\n");
    ASSERT_EQ(chmod(file.c_str(), 0600), 0);
    ASSERT_TRUE(WriteProfileString(L"a", L"k", L"2", file.wstring()));
    ASSERT_TRUE(ReplaceFileAtomically(file.wstring(), "[a]\nk=3\n"));

    EXPECT_EQ(std::filesystem::status(file).permissions(), std::filesystem::perms(0600));
    EXPECT_EQ(ReadFile(file), "[a]\nk=3\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    EXPECT_FALSE(ReplaceFileAtomically((dir.path() / "missing" / "x").wstring(), "x"));
}

TEST(ProfileFile, ConcurrentWritersKeepEachOthersKeys) {
    TempDir dir;
    const std::wstring file = (dir.path() / "shared.ini").wstring();
    constexpr int kWriters = 2;
    constexpr int kKeysEach = 200;

    // Both writers wait on the same pipe so that they really start together.
    int start[2];
    ASSERT_EQ(pipe(start), 0);
    pid_t writers[kWriters];
    for (int w = 0; w < kWriters; ++w) {
        writers[w] = forkOrDie();
        if (writers[w] == 0) {
            close(start[1]);
            char go;
            if (read(start[0], &go, 1) != 0)
                _exit(3);
            for (int i = 0; i < kKeysEach; ++i) {
                const std::wstring key = L"w" + std::to_wstring(w) + L"_" + std::to_wstring(i);
                if (!WriteProfileString(L"shared", key, std::to_wstring(i), file))
                    _exit(1);
            }
            _exit(0);
        }
    }
    close(start[0]);
    close(start[1]); // end of file on the pipe releases both
    for (pid_t writer : writers)
        EXPECT_EQ(waitForExit(writer), 0);

    int missing = 0;
    for (int w = 0; w < kWriters; ++w) {
        for (int i = 0; i < kKeysEach; ++i) {
            const std::wstring key = L"w" + std::to_wstring(w) + L"_" + std::to_wstring(i);
            if (GetProfileInt(L"shared", key, -1, file) != i)
                ++missing;
        }
    }
    EXPECT_EQ(missing, 0);
}

TEST(ProfileFile, KilledWriterLeavesACompleteVersion) {
    TempDir dir;
    const auto file = dir.path() / "settings.ini";
    // Large enough that writing one takes several system calls.
    const std::wstring first(100000, L'a');
    const std::wstring second(100000, L'b');
    const std::string firstFile = "[s]\nv=" + std::string(first.size(), 'a') + "\n";
    const std::string secondFile = "[s]\nv=" + std::string(second.size(), 'b') + "\n";
    ASSERT_TRUE(WriteProfileString(L"s", L"v", first, file.wstring()));

    for (int round = 0; round < 25; ++round) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        pid_t child = forkOrDie();
        if (child == 0) {
            close(ready[0]);
            for (long n = 0;; ++n) {
                WriteProfileString(L"s", L"v", n % 2 ? first : second, file.wstring());
                if (n == 0 && write(ready[1], "x", 1) != 1)
                    _exit(1);
            }
        }
        close(ready[1]);
        char byte;
        ASSERT_EQ(read(ready[0], &byte, 1), 1);
        close(ready[0]);
        usleep(static_cast<useconds_t>(round * 397));
        kill(child, SIGKILL);
        EXPECT_EQ(waitForExit(child), 128 + SIGKILL);

        const std::string content = ReadFile(file);
        EXPECT_TRUE(content == firstFile || content == secondFile)
            << "round " << round << ": " << content.size() << " bytes";
    }
    // The next writer is not held up by the lock of the killed one.
    EXPECT_TRUE(WriteProfileString(L"s", L"v", L"done", file.wstring()));
    EXPECT_EQ(ReadFile(file), "[s]\nv=done\n");
}
