// Batching, putting back, the staging file, and the posts as the real collector receives them.
#include "analytics/sdk/RecordQueue.h"
#include "analytics/sdk/BodyEncoding.h"
#include "tests/analytics/AnalyticsTestSupport.h"
#include "tests/analytics/CollectorProcess.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>

using qx_analytics::HttpResponse;
using qx_analytics::HttpSender;
using qx_analytics::RecordQueue;

namespace {

std::string record(int number) {
    return R"({"n":)" + std::to_string(number) + "}";
}

std::vector<std::string> records(int first, int count) {
    std::vector<std::string> result;
    for (int i = first; i < first + count; ++i)
        result.push_back(record(i));
    return result;
}

void addAll(RecordQueue& queue, const std::vector<std::string>& texts) {
    for (const std::string& text : texts)
        queue.add(text);
}

template <typename T> std::vector<T> concat(std::vector<T> a, const std::vector<T>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

TEST(RecordQueue, KeepsTheNewest1024) {
    RecordQueue queue("", AnswerWith(500));
    addAll(queue, records(0, 1025));
    EXPECT_EQ(queue.records(), records(1, 1024));
}

TEST(RecordQueue, FailedBatchReturnsToTheHeadAsFarAsThereIsRoom) {
    RecordQueue* self = nullptr;
    // While the batch of 30 is on its way, 1000 records arrive; then the post fails.
    auto sender = std::make_unique<ScriptedSender>([&](const std::string&) {
        addAll(*self, records(100, 1000));
        return HttpResponse{500, "", {}};
    });
    RecordQueue queue("", std::move(sender));
    self = &queue;
    addAll(queue, records(0, 30));
    std::string errors = TestSupport::CaptureStandardError([&] { EXPECT_FALSE(queue.flush()); });
    EXPECT_EQ(queue.records(), concat(records(6, 24), records(100, 1000)))
        << "room for 24: the first 6 are lost";
    EXPECT_FALSE(queue.lastSendSucceeded());
}

TEST(RecordQueue, BatchIsPutBackWhenTheFlushThrows) {
    int posts = 0;
    auto sender = std::make_unique<ScriptedSender>([&](const std::string&) -> HttpResponse {
        if (++posts == 1)
            throw std::runtime_error("no transfer");
        return {200, "", {}};
    });
    RecordQueue queue("", std::move(sender));
    addAll(queue, records(0, 31));
    std::string errors = TestSupport::CaptureStandardError([&] { EXPECT_FALSE(queue.flush()); });
    EXPECT_EQ(errors, "Exception when flush failed: (no transfer) \n");
    EXPECT_EQ(queue.records(), records(0, 31));
    EXPECT_TRUE(queue.flushAll());
    EXPECT_EQ(queue.size(), 0u);
    EXPECT_EQ(posts, 3);
}

TEST(RecordQueue, StagingFileIsReadOnceBeforeTheQueueAndWrittenAtClose) {
    TestSupport::TempDir dir;
    const auto staging = dir.path() / "staging.txt";
    TestSupport::WriteFile(
        staging, "\r\n{\"s\":1}\r\nnot a record\r\n{\"s\":2}\n[1]\r\n{\"s\":3}\r\n {\"s\":4}\r\n{\"s\":5}");
    std::vector<std::string> posted;
    auto sender = std::make_unique<ScriptedSender>([&](const std::string& body) {
        posted.push_back(body);
        return HttpResponse{500, "", {}};
    });
    RecordQueue queue(staging.string(), std::move(sender));
    addAll(queue, records(0, 1021)); // room for the last 3 staged records only
    TestSupport::CaptureStandardError([&] { EXPECT_FALSE(queue.flush()); });
    EXPECT_EQ(TestSupport::ReadFile(staging), "") << "what was read is in memory now";
    const auto expected = concat({R"({"s":2})", R"({"s":3})", R"({"s":5})"}, records(0, 1021));
    EXPECT_EQ(queue.records(), expected);
    queue.close();
    std::string lines;
    for (const std::string& text : expected)
        lines += text + "\r\n";
    EXPECT_EQ(TestSupport::ReadFile(staging), lines);
    EXPECT_FALSE(queue.flush()) << "a closed queue posts nothing";
    EXPECT_EQ(posted.size(), 1u);
}

TEST(BodyEncoding, Steps) {
    EXPECT_EQ(qx_analytics::Base64Encode(""), "");
    EXPECT_EQ(qx_analytics::Base64Encode("f"), "Zg==");
    EXPECT_EQ(qx_analytics::Base64Encode("fo"), "Zm8=");
    EXPECT_EQ(qx_analytics::Base64Encode("foo"), "Zm9v");
    EXPECT_EQ(qx_analytics::Base64Encode("\xFB\xFF\xBF"), "+/+/");
    EXPECT_EQ(qx_analytics::PercentEncode("aZ09-._~+/= &\xE4\xB8\xAD"), "aZ09-._~%2B%2F%3D%20%26%E4%B8%AD");
    auto body = qx_analytics::EncodeBody("[]");
    ASSERT_TRUE(body);
    EXPECT_TRUE(body->starts_with("data_list=H4sI")) << *body; // the gzip magic, Base64-encoded
    EXPECT_TRUE(body->ends_with("&gzip=1"));
}

TEST(RecordQueue, PostsReachTheCollectorInBatchesOf30) {
    CollectorProcess collector;
    RecordQueue queue("", std::make_unique<HttpSender>(collector.url()));
    // Texts that the encoding must carry unchanged: escapes, non-ASCII, the Base64 characters.
    std::vector<std::string> texts = records(0, 31);
    texts[3] = R"({"s":"\"\\\t\n","t":"中文 +/=&%"})";
    addAll(queue, texts);
    EXPECT_TRUE(queue.flushAll());
    EXPECT_TRUE(queue.lastSendSucceeded());
    EXPECT_EQ(collector.recordLines(), texts);
    const std::string shape =
        "\t/collect?project=pc\tQX Analytics CPP SDK 0.9\tapplication/x-www-form-urlencoded";
    EXPECT_EQ(collector.requests(), (std::vector<std::string>{"200\t30" + shape, "200\t1" + shape}));
}

TEST(RecordQueue, OnlyStatus200IsSuccess) {
    CollectorProcess collector;
    for (const auto& [answer, status] :
         std::vector<std::pair<std::string, std::string>>{{"fail", "500"}, {"empty", "204"}}) {
        collector.setAnswer(answer);
        RecordQueue queue("", std::make_unique<HttpSender>(collector.url()));
        addAll(queue, records(0, 3));
        std::string errors =
            TestSupport::CaptureStandardError([&] { EXPECT_FALSE(queue.flushAll()) << answer; });
        EXPECT_EQ(queue.records(), records(0, 3)) << answer;
        EXPECT_FALSE(queue.lastSendSucceeded());
        EXPECT_NE(errors.find("[analytics] Analytics SDK send failed\n"), std::string::npos) << errors;
        EXPECT_NE(errors.find("Analytics SDK send failed: "), std::string::npos) << errors;
        EXPECT_EQ(collector.requests().back().substr(0, status.size()), status);
    }
    EXPECT_TRUE(collector.recordLines().empty());

    const std::string closedUrl = collector.url();
    collector.stop();
    RecordQueue queue("", std::make_unique<HttpSender>(closedUrl));
    addAll(queue, records(0, 2));
    std::string errors = TestSupport::CaptureStandardError([&] { EXPECT_FALSE(queue.flush()); });
    EXPECT_EQ(queue.size(), 2u);
    EXPECT_NE(errors.find("Analytics SDK send failed: Couldn't connect to server"), std::string::npos)
        << errors;
}

TEST(RecordQueue, StalledCollectorTimesOutAfterThreeSeconds) {
    CollectorProcess collector("stall");
    RecordQueue queue("", std::make_unique<HttpSender>(collector.url()));
    addAll(queue, records(0, 2));
    auto start = std::chrono::steady_clock::now();
    TestSupport::CaptureStandardError([&] { EXPECT_FALSE(queue.flush()); });
    auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(seconds, 2.9);
    EXPECT_LT(seconds, 10.0);
    EXPECT_EQ(queue.records(), records(0, 2));
}
