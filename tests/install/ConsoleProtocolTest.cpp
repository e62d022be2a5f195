#include "install/ConsoleProtocol.h"
#include "install/ConsoleLineReader.h"
#include "install/InstallCodes.h"
#include "install/InstallerConsole.h"
#include "install/UnInstallerConsole.h"
#include "tests/support/ReportRecorder.h"

#include <gtest/gtest.h>

using ConsoleProtocol::kFailed;
using ConsoleProtocol::kGoOn;
using ConsoleProtocol::kSucceeded;

namespace {

struct ParseCase {
    const wchar_t* text;
    std::vector<Event> events;
    int result;
};

std::string describe(const wchar_t* text) {
    return testing::PrintToString(std::wstring(text));
}

const std::wstring kLongest(ConsoleProtocol::kMaxText, L'p');

} // namespace

TEST(InstallerConsole, KeysGiveTheirEventsAndResults) {
    const ParseCase cases[] = {
        {L"Progress=0.5", {{IST_CODE_PROGRESS, 0.5, L""}}, kGoOn},
        {L"Progress=abc", {{IST_CODE_PROGRESS, 0.0, L""}}, kGoOn},
        // A line cut after its key, as the reader used to see split lines.
        {L"Progress=", {{IST_CODE_PROGRESS, 0.0, L""}}, kGoOn},
        {L"InstPath=/opt/Tovaclip", {{IST_CODE_INSTPATH, 0.0, L"/opt/Tovaclip"}}, kGoOn},
        {L"InstPath=", {{IST_CODE_INSTPATH, 0.0, L""}}, kGoOn},
        // Paths from a package writing CRLF lines must name real files.
        {L"InstPath=/opt/Tovaclip\r\nExePath=/opt/Tovaclip/Tovaclip.exe\r\n",
         {{IST_CODE_INSTPATH, 0.0, L"/opt/Tovaclip"}, {IST_CODE_EXEPATH, 0.0, L"/opt/Tovaclip/Tovaclip.exe"}},
         kGoOn},
        {L"StartExe=/a/b", {{IST_CODE_EXEPATH, 0.0, L"/a/b"}}, kGoOn},
        {L"UninstExePath=/a/u", {{IST_CODE_UNINSTEXE, 0.0, L"/a/u"}}, kGoOn},
        {L"UninstExe=/a/u", {{IST_CODE_UNINSTEXE, 0.0, L"/a/u"}}, kGoOn},
        {L"UninstEp=/a/uninst.ep", {{IST_CODE_UNINSTEP, 0.0, L"/a/uninst.ep"}}, kGoOn},
        {L"StartUrl=https://tovaclip.example/",
         {{IST_CODE_STARTURL, 0.0, L"https://tovaclip.example/"}},
         kGoOn},
        {L"Message=你好 world", {{IST_CODE_MESSAGE, 0.0, L"你好 world"}}, kGoOn},
        {L"State=Success", {{IST_CODE_SUCCESS, 0.0, L""}}, kSucceeded},
        {L"State= \tSuccess \r", {{IST_CODE_SUCCESS, 0.0, L""}}, kSucceeded},
        {L"State=success", {}, kGoOn},
        {L"State=Fail", {{IST_CODE_FAIL, 0.0, L"安装包安装失败"}}, kFailed},
        {L"Error=disk full", {{IST_CODE_FAIL, 1000.0, L"disk full"}}, kFailed},
        // Lines after a final line are still handled; the last final line decides.
        {L"State=Success\nError=disk full",
         {{IST_CODE_SUCCESS, 0.0, L""}, {IST_CODE_FAIL, 1000.0, L"disk full"}},
         kFailed},
        {L"State=Fail\nProgress=1\nState=Success",
         {{IST_CODE_FAIL, 0.0, L"安装包安装失败"},
          {IST_CODE_PROGRESS, 1.0, L""},
          {IST_CODE_SUCCESS, 0.0, L""}},
         kSucceeded},
        // The key must stand at the start of the line, exactly as written.
        {L"xProgress=0.5\n Progress=0.5\nprogress=0.5\nProgress 0.5", {}, kGoOn},
        {L"StartupStyle=NonStartup", {{IST_CODE_STARTUPSTYLE, 0.0, L""}}, kGoOn},
        {L"StartupStyle=AutoStartup", {{IST_CODE_STARTUPSTYLE, 1.0, L""}}, kGoOn},
        {L"StartupStyle= UserStartup\r", {{IST_CODE_STARTUPSTYLE, 2.0, L""}}, kGoOn},
        {L"StartupStyle=Sometimes", {{IST_CODE_STARTUPSTYLE, 0.0, L""}}, kGoOn},
        {L"TopShowDetention=3000", {{IST_CODE_TOPSHOW, 3000.0, L""}}, kGoOn},
        {L"TopShowDetention=-1", {{IST_CODE_TOPSHOW, 4294967295.0, L""}}, kGoOn},
        {L"TopShowDetention=soon", {{IST_CODE_TOPSHOW, 0.0, L""}}, kGoOn},
        {L"FinsihCloseDetention=0", {{IST_CODE_FINISHCLOSE, 0.0, L""}}, kGoOn},
        {L"FinishCloseDetention=5", {}, kGoOn},
        {L"InstallVersion=1.7.9\nEncode=UTF8", {}, kGoOn},
    };
    for (const ParseCase& c : cases) {
        ReportRecorder recorder;
        CInstallerConsole console(recorder.Callback());
        EXPECT_EQ(console.Parse(c.text), c.result) << describe(c.text);
        EXPECT_EQ(recorder.Events(), c.events) << describe(c.text);
    }
}

TEST(InstallerConsole, TextValuesLongerThanTheLimitAreEmpty) {
    ReportRecorder recorder;
    CInstallerConsole console(recorder.Callback());
    console.Parse(L"InstPath=" + kLongest);
    console.Parse(L"InstPath=" + kLongest + L"\r");
    console.Parse(L"Error=" + kLongest + L"p");
    console.Parse(L"State=Success" + std::wstring(ConsoleProtocol::kMaxText, L' '));
    std::vector<Event> expected{
        {IST_CODE_INSTPATH, 0.0, kLongest}, {IST_CODE_INSTPATH, 0.0, kLongest}, {IST_CODE_FAIL, 1000.0, L""}};
    EXPECT_EQ(recorder.Events(), expected);
}

TEST(InstallerConsole, InstallVersionKeepsTheNumbersThatDoNotScan) {
    ReportRecorder recorder;
    CInstallerConsole console(recorder.Callback());
    console.Parse(L"InstallVersion=1.7.9");
    EXPECT_EQ(console.InstalledVersion(), (std::array<int32_t, 3>{1, 7, 9}));
    console.Parse(L"InstallVersion=2.x.5");
    EXPECT_EQ(console.InstalledVersion(), (std::array<int32_t, 3>{2, 7, 9}));
    console.Parse(L"InstallVersion= 3. 4.-5\r");
    EXPECT_EQ(console.InstalledVersion(), (std::array<int32_t, 3>{3, 4, -5}));
    EXPECT_TRUE(recorder.Events().empty());
}

TEST(ConsoleEncode, InstallerTakesNumbersUninstallerOnlyUtf8) {
    struct Case {
        const wchar_t* value;
        int32_t installer;
        int32_t uninstaller;
    } cases[] = {
        {L"UTF8", 65001, 65001}, {L" UTF8\r", 65001, 65001},
        {L"utf8", 0, 0},         {L"ACP", 0, 0},
        {L"936", 936, 0},        {L"936 (GBK)", 936, 0},
        {L"+1252", 1252, 0},     {L"GBK", 0, 0},
        {L"99999999999", 0, 0},  {L"", 0, 0},
    };
    ReportRecorder recorder;
    for (const Case& c : cases) {
        // Start from another code page, so that "sets 0" shows.
        CInstallerConsole installer(recorder.Callback());
        installer.Parse(L"Encode=1252");
        installer.Parse(std::wstring(L"Encode=") + c.value);
        EXPECT_EQ(installer.CodePage(), c.installer) << describe(c.value);

        CUnInstallerConsole uninstaller(recorder.Callback());
        uninstaller.Parse(L"Encode=UTF8");
        uninstaller.Parse(std::wstring(L"Encode=") + c.value);
        EXPECT_EQ(uninstaller.CodePage(), c.uninstaller) << describe(c.value);
    }
    EXPECT_TRUE(recorder.Events().empty());
}

TEST(UnInstallerConsole, KeysGiveTheirEventsAndResults) {
    const ParseCase cases[] = {
        {L"Progress=0.5", {{UNIST_CODE_PROGRESS, 0.5, L""}}, kGoOn},
        {L"Progress=", {{UNIST_CODE_PROGRESS, 0.0, L""}}, kGoOn},
        {L"State=Success\r", {{UNIST_CODE_SUCCESS, 0.0, L""}}, kSucceeded},
        {L"State=Fail", {{UNIST_CODE_ERROR, 0.0, L"安装包卸载失败"}}, kFailed},
        {L"State=Done", {}, kGoOn},
        {L"Error=file in use\r", {{UNIST_CODE_ERROR, 0.0, L"file in use"}}, kFailed},
        {L"State=Fail\nState=Success",
         {{UNIST_CODE_ERROR, 0.0, L"安装包卸载失败"}, {UNIST_CODE_SUCCESS, 0.0, L""}},
         kSucceeded},
        // Keys of the installer's table mean nothing here.
        {L"InstPath=/opt\nMessage=hi\n Progress=1", {}, kGoOn},
    };
    for (const ParseCase& c : cases) {
        ReportRecorder recorder;
        CUnInstallerConsole console(recorder.Callback());
        EXPECT_EQ(console.Parse(c.text), c.result) << describe(c.text);
        EXPECT_EQ(recorder.Events(), c.events) << describe(c.text);
    }
}

TEST(ConsoleLineReader, HandsOverOnlyWholeLinesWhateverTheReadsCut) {
    struct Case {
        std::vector<std::string> reads;
        std::vector<std::string> lines;
        std::string rest;
    } cases[] = {
        {{"Progress=0.", "5\nInstPath=/opt/", "Tova", "clip\n"},
         {"Progress=0.5", "InstPath=/opt/Tovaclip"},
         ""},
        // A UTF-8 character cut by a read.
        {{"InstPath=/opt/\xE5\xAE", "\x89\xE8\xA3\x85\n"}, {"InstPath=/opt/\xE5\xAE\x89\xE8\xA3\x85"}, ""},
        {{"a\r\n\nb\n"}, {"a\r", "", "b"}, ""},
        {{"Progress=1\nState=Succ", "ess"}, {"Progress=1"}, "State=Success"},
        {{"\n", "", "x"}, {""}, "x"},
    };
    for (const Case& c : cases) {
        ConsoleLineReader reader;
        std::vector<std::string> lines;
        std::string line;
        for (const std::string& read : c.reads) {
            reader.Append(read);
            while (reader.NextLine(line))
                lines.push_back(line);
        }
        EXPECT_EQ(lines, c.lines);
        std::string rest;
        EXPECT_EQ(reader.TakeRest(rest), !c.rest.empty());
        EXPECT_EQ(rest, c.rest);
        EXPECT_FALSE(reader.TakeRest(rest)) << "the rest is handed over once";
    }
}

TEST(ConsoleLineReader, CutsALineThatNeverEnds) {
    ConsoleLineReader reader;
    std::string piece(1000, 'x');
    for (size_t written = 0; written < 2 * ConsoleLineReader::kMaxLine; written += piece.size())
        reader.Append(piece);
    reader.Append("\nnext\n");
    std::string line;
    ASSERT_TRUE(reader.NextLine(line));
    EXPECT_EQ(line.size(), ConsoleLineReader::kMaxLine);
    ASSERT_TRUE(reader.NextLine(line));
    EXPECT_EQ(line, "next");
}

TEST(InstallerConsole, EncodeChangesTheDecodingOfTheLinesAfterIt) {
    ReportRecorder recorder;
    CInstallerConsole console(recorder.Callback());
    ConsoleLineReader reader;
    // One read holds the switch and a line in code page 936 ("安装" is B0 B2 D7 B0): the switch
    // applies from the next line on, not from the next read.
    reader.Append(
        "InstPath=/a\nEncode=936\nInstPath=/opt/\xB0\xB2\xD7\xB0\nEncode=UTF8\nMessage=\xE5\xAE\x89\xE8");
    reader.Append("\xA3\x85\n");
    std::string line;
    while (reader.NextLine(line))
        console.ParseLine(line);
    std::vector<Event> expected{{IST_CODE_INSTPATH, 0.0, L"/a"},
                                {IST_CODE_INSTPATH, 0.0, L"/opt/安装"},
                                {IST_CODE_MESSAGE, 0.0, L"安装"}};
    EXPECT_EQ(recorder.Events(), expected);
}
