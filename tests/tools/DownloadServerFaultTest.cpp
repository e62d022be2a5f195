#include "tests/tools/RawHttp.h"
#include "tests/tools/ServedFolder.h"

#include <httplib.h>

using namespace std::chrono_literals;

namespace {

const std::string kSize = std::to_string(200'003);

} // namespace

using DownloadServerFault = ServedFolder;

TEST_F(DownloadServerFault, CutClosesAfterFewerBytesThanDeclared) {
    m_Server.setFault("/Tovaclip.exe", "cut=1000");
    RawAnswer answer = RawRequest(m_Server.port(), "GET", "/Tovaclip.exe");
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(answer.headers["content-length"], kSize);
    EXPECT_TRUE(answer.closed);
    EXPECT_TRUE(answer.body == Content().substr(0, 1000));
}

TEST_F(DownloadServerFault, ResetDropsTheConnectionWithoutAnswer) {
    m_Server.setFault("/Tovaclip.exe", "reset");
    RawAnswer answer = RawRequest(m_Server.port(), "GET", "/Tovaclip.exe");
    EXPECT_FALSE(answer.answered);
    EXPECT_TRUE(answer.closed);

    httplib::Client client("127.0.0.1", m_Server.port());
    auto result = client.Get("/Tovaclip.exe");
    EXPECT_FALSE(result);
    // The server itself lives on.
    EXPECT_EQ(client.Get("/abc.txt")->status, 200);
}

TEST_F(DownloadServerFault, StallSendsHeadersThenAlmostNothing) {
    m_Server.setFault("/Tovaclip.exe", "stall");
    RawAnswer answer = RawRequest(m_Server.port(), "GET", "/Tovaclip.exe", {}, 1s);
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(answer.headers["content-length"], kSize);
    EXPECT_FALSE(answer.closed);
    EXPECT_LE(answer.body.size(), 1u);
    // The stalled answer must not hold up the stop.
    EXPECT_EQ(m_Server.stop(), 0);
}

TEST_F(DownloadServerFault, StatusResetAndBodyFaultsReachHeadAsDocumented) {
    struct Case {
        const char* faults;
        const char* method;
        int status; // 0: no answer at all
    };
    const Case cases[] = {
        {"status=404", "GET", 404},      {"status=404", "HEAD", 404}, {"status=204", "GET", 204},
        {"status=500,get", "HEAD", 200}, {"reset", "HEAD", 0},        {"reset,head=ok", "HEAD", 200},
        {"cut=10", "HEAD", 200},         {"stall", "HEAD", 200},      {"norange", "HEAD", 200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.faults) + ' ' + c.method);
        m_Server.setFault("/Tovaclip.exe", c.faults);
        RawAnswer answer = RawRequest(m_Server.port(), c.method, "/Tovaclip.exe");
        EXPECT_EQ(answer.answered, c.status != 0);
        EXPECT_EQ(answer.status, c.status);
        EXPECT_TRUE(answer.body.empty());
        if (c.status == 200) {
            EXPECT_EQ(answer.headers["content-length"], kSize);
        }
    }
}

TEST_F(DownloadServerFault, NoRangeAnswersWithTheWholeFile) {
    m_Server.setFault("/Tovaclip.exe", "norange");
    RawAnswer answer = RawRequest(m_Server.port(), "GET", "/Tovaclip.exe", "bytes=1000-1999");
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(answer.headers.count("content-range"), 0u);
    EXPECT_TRUE(answer.body == Content());
}

TEST_F(DownloadServerFault, NoLengthEndsTheBodyByClosing) {
    m_Server.setFault("/Tovaclip.exe", "nolength");
    RawAnswer answer = RawRequest(m_Server.port(), "GET", "/Tovaclip.exe");
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(answer.headers.count("content-length"), 0u);
    EXPECT_EQ(answer.headers.count("transfer-encoding"), 0u);
    EXPECT_TRUE(answer.closed);
    EXPECT_TRUE(answer.body == Content());
}

TEST_F(DownloadServerFault, OverRangeSendsAndDeclaresMoreThanAsked) {
    m_Server.setFault("/Tovaclip.exe", "overrange=100");
    RawAnswer middle = RawRequest(m_Server.port(), "GET", "/Tovaclip.exe", "bytes=1000-1999");
    EXPECT_EQ(middle.status, 206);
    EXPECT_EQ(middle.headers["content-range"], "bytes 1000-2099/200003");
    EXPECT_EQ(middle.headers["content-length"], "1100");
    EXPECT_TRUE(middle.body == Content().substr(1000, 1100));

    // The file's end bounds the extra bytes.
    RawAnswer end = RawRequest(m_Server.port(), "GET", "/Tovaclip.exe", "bytes=199990-199999");
    EXPECT_EQ(end.headers["content-range"], "bytes 199990-200002/200003");
    EXPECT_TRUE(end.body == Content().substr(199990));
}

TEST_F(DownloadServerFault, TimesCountsOnlyTheRequestsTheFaultTouches) {
    m_Server.setFault("/Tovaclip.exe", "cut=1000,times=1");
    httplib::Client client("127.0.0.1", m_Server.port());
    auto head = client.Head("/Tovaclip.exe"); // HEAD is left alone, so it does not count
    ASSERT_TRUE(head);
    EXPECT_EQ(head->get_header_value("Content-Length"), kSize);
    EXPECT_EQ(RawRequest(m_Server.port(), "GET", "/Tovaclip.exe").body.size(), 1000u);
    EXPECT_TRUE(RawRequest(m_Server.port(), "GET", "/Tovaclip.exe").body == Content());
}

TEST_F(DownloadServerFault, DelayHoldsTheAnswerBack) {
    m_Server.setFault("/abc.txt", "delay=300,status=503");
    httplib::Client client("127.0.0.1", m_Server.port());
    const auto start = std::chrono::steady_clock::now();
    auto answer = client.Get("/abc.txt");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 503);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
}

TEST_F(DownloadServerFault, FaultsApplyToTheExactPathSentAndCanBeCleared) {
    m_Server.setFault("/abc.txt", "status=500");
    httplib::Client client("127.0.0.1", m_Server.port());
    EXPECT_EQ(client.Get("/abc.txt")->status, 500);
    EXPECT_EQ(client.Get(std::string("/") + kAbcMd5 + "/abc.txt")->status, 200);
    m_Server.setFault("/abc.txt", "");
    EXPECT_EQ(client.Get("/abc.txt")->status, 200);
}

TEST_F(DownloadServerFault, FaultListsThatMakeNoSenseAreRefused) {
    for (const char* faults :
         {"explode", "cut", "cut=-1", "status=99", "status=abc", "times=0", "times=2", "reset,cut=5",
          "status=500,stall", "stall,cut=5", "head=no", "cut=5,", "reset=1"}) {
        SCOPED_TRACE(faults);
        EXPECT_THROW(m_Server.setFault("/abc.txt", faults), std::runtime_error);
    }
    EXPECT_EQ(httplib::Client("127.0.0.1", m_Server.port()).Get("/abc.txt")->status, 200);
}

TEST(DownloadServerFaultOption, CommandLineFaultsApplyFromTheStart) {
    TestSupport::TempDir root;
    TestSupport::WriteFile(root.path() / "abc.txt", "abc");
    TestSupport::DownloadServer server(root.path(), {"--fault", "/abc.txt=status=500,times=1"});
    httplib::Client client("127.0.0.1", server.port());
    EXPECT_EQ(client.Get("/abc.txt")->status, 500);
    EXPECT_EQ(client.Get("/abc.txt")->status, 200);
}
