#include "tests/tools/RawHttp.h"
#include "tests/tools/ServedFolder.h"

#include <httplib.h>

using TestSupport::BinPath;
using TestSupport::DownloadServer;
using TestSupport::RunCommand;

namespace {

const std::string kSize = std::to_string(200'003);

} // namespace

TEST_F(ServedFolder, HeadGivesTheLengthWithoutBody) {
    RawAnswer answer = RawRequest(m_Server.port(), "HEAD", "/Tovaclip.exe");
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(answer.headers["content-length"], kSize);
    EXPECT_EQ(answer.headers["accept-ranges"], "bytes");
    EXPECT_TRUE(answer.body.empty());
}

TEST_F(ServedFolder, GetServesTheWholeFileUnderItsNameAndAnyDigestFolder) {
    httplib::Client client("127.0.0.1", m_Server.port());
    for (const char* path : {"/Tovaclip.exe", "/0123456789abcdef0123456789ABCDEF/Tovaclip.exe"}) {
        SCOPED_TRACE(path);
        auto answer = client.Get(path);
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->status, 200);
        EXPECT_EQ(answer->get_header_value("Content-Length"), kSize);
        EXPECT_TRUE(answer->body == Content());
    }
}

TEST_F(ServedFolder, RangesAnswerThePartAsked) {
    struct Case {
        const char* range;
        int status;
        std::string contentRange;
        size_t first;
        size_t count;
    };
    const Case cases[] = {
        {"bytes=1000-1999", 206, "bytes 1000-1999/200003", 1000, 1000},
        {"bytes=199000-", 206, "bytes 199000-200002/200003", 199000, 1003},
        {"bytes=199000-999999", 206, "bytes 199000-200002/200003", 199000, 1003},
        {"bytes=-3", 206, "bytes 200000-200002/200003", 200000, 3},
        {"bytes=200003-", 416, "bytes */200003", 0, 0},
        {"bytes=500000-600000", 416, "bytes */200003", 0, 0},
    };
    httplib::Client client("127.0.0.1", m_Server.port());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.range);
        auto answer = client.Get("/Tovaclip.exe", {{"Range", c.range}});
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->status, c.status);
        EXPECT_EQ(answer->get_header_value("Content-Range"), c.contentRange);
        EXPECT_EQ(answer->get_header_value("Content-Length"), std::to_string(c.count));
        EXPECT_TRUE(answer->body == Content().substr(c.first, c.count));
    }
}

TEST_F(ServedFolder, OnlyFilesDirectlyInTheFolderAreServed) {
    // Sent raw, so that no client tidies the paths first.
    for (const char* path : {"/missing.bin", "/../outside.txt", "/%2e%2e/outside.txt", "/..%2foutside.txt",
                             "/sub/inner.txt", "/sub", "/", "/0123/Tovaclip.exe", "/redirect/x/Tovaclip.exe",
                             "/redirect/0/missing.bin", "/redirect/3/missing.bin"}) {
        SCOPED_TRACE(path);
        RawAnswer answer = RawRequest(m_Server.port(), "GET", path);
        EXPECT_EQ(answer.status, 404);
        EXPECT_TRUE(answer.body.empty());
    }
}

TEST_F(ServedFolder, RedirectChainEndsAtTheDigestFolder) {
    httplib::Client client("127.0.0.1", m_Server.port());
    const std::string expected[] = {"/redirect/1/abc.txt", "/redirect/0/abc.txt",
                                    std::string("/") + kAbcMd5 + "/abc.txt"};
    std::string path = "/redirect/2/abc.txt";
    for (const std::string& location : expected) {
        auto hop = client.Get(path);
        ASSERT_TRUE(hop);
        EXPECT_EQ(hop->status, 302);
        ASSERT_EQ(hop->get_header_value("Location"), location);
        path = location;
    }
    auto end = client.Get(path);
    ASSERT_TRUE(end);
    EXPECT_EQ(end->status, 200);
    EXPECT_EQ(end->body, "abc");
}

TEST_F(ServedFolder, LogListsRequestsInArrivalOrderWithoutControlCalls) {
    httplib::Client client("127.0.0.1", m_Server.port());
    client.Head("/Tovaclip.exe");
    m_Server.setFault("/abc.txt", "status=500");
    client.Get("/Tovaclip.exe", {{"Range", "bytes=1000-"}});
    client.Get("/abc.txt");
    client.Get("/redirect/0/abc.txt?x=1");
    EXPECT_EQ(m_Server.log(),
              (std::vector<std::string>{"HEAD /Tovaclip.exe -", "GET /Tovaclip.exe bytes=1000-",
                                        "GET /abc.txt -", "GET /redirect/0/abc.txt -"}));

    m_Server.reset();
    EXPECT_TRUE(m_Server.log().empty());
    EXPECT_EQ(client.Get("/abc.txt")->status, 200) << "reset clears the faults too";
}

TEST(DownloadServerCommandLine, BadCommandLinesExitWithUsage) {
    TestSupport::TempDir root;
    const std::string dir = root.path().string();
    for (const std::string& arguments : std::vector<std::string>{
             "", "--root", "--port 0", "--root " + dir + " --port x", "--root " + dir + " --port 70000",
             "--root " + dir + " --what", "--root " + dir + " --fault nopath",
             "--root " + dir + " --fault /x=bogus", "--root " + dir + " --fault /x=cut=5,reset"}) {
        SCOPED_TRACE(arguments);
        auto result = RunCommand(BinPath("download-server").string() + ' ' + arguments + " 2>&1 </dev/null");
        EXPECT_EQ(result.status, 2);
        EXPECT_NE(result.output.find("usage: download-server"), std::string::npos) << result.output;
    }
}

TEST(DownloadServerCommandLine, RootMustBeAFolder) {
    TestSupport::TempDir temp;
    TestSupport::WriteFile(temp.path() / "file", "x");
    for (const auto& root : {temp.path() / "file", temp.path() / "missing"}) {
        auto result = RunCommand(BinPath("download-server").string() + " --root " + root.string() + " 2>&1");
        EXPECT_EQ(result.status, 2);
        EXPECT_NE(result.output.find("not a folder"), std::string::npos) << result.output;
    }
}

TEST(DownloadServerCommandLine, ExplicitPortIsUsedAndABusyOneRefused) {
    TestSupport::TempDir root;
    auto first = std::make_unique<DownloadServer>(root.path());
    const std::string port = std::to_string(first->port());
    auto busy = RunCommand(BinPath("download-server").string() + " --root " + root.path().string() +
                           " --port " + port + " 2>&1");
    EXPECT_EQ(busy.status, 1);
    EXPECT_NE(busy.output.find("cannot listen"), std::string::npos) << busy.output;

    EXPECT_EQ(first->stop(), 0);
    first.reset();
    DownloadServer second(root.path(), {"--port", port});
    EXPECT_EQ(second.port(), std::stoi(port));
}
