#include "utils/Thread.h"

#include "tests/support/TestSupport.h"
#include "utils/DebugLog.h"

#include <atomic>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <stdexcept>
#include <unistd.h>

namespace {

std::filesystem::path taskPath(uint32_t threadId) {
    return "/proc/self/task/" + std::to_string(threadId);
}

// The name the kernel shows for one of our threads.
std::string kernelName(uint32_t threadId) {
    std::string comm = TestSupport::ReadFile(taskPath(threadId) / "comm");
    if (!comm.empty() && comm.back() == '\n')
        comm.pop_back();
    return comm;
}

struct Record {
    std::atomic<bool> ran{false};
    void* argument = nullptr;
    uint32_t threadId = 0;
};

std::function<uint32_t(void*)> recordingBody(Record& record) {
    return [&record](void* argument) {
        record.argument = argument;
        record.threadId = Utils::CurrentThreadId();
        record.ran = true;
        return 7u;
    };
}

} // namespace

TEST(Thread, BodyRunsOnceAfterResumeOnTheNewThreadWithItsArgument) {
    Record record;
    int value = 0;
    Utils::Thread thread(&value, L"worker", recordingBody(record));

    ASSERT_TRUE(thread.Valid());
    uint32_t id = thread.ThreadId();
    EXPECT_NE(id, 0u);
    EXPECT_NE(id, Utils::CurrentThreadId());
    EXPECT_TRUE(std::filesystem::exists(taskPath(id))) << "the id is the live thread's";
    EXPECT_FALSE(record.ran);

    EXPECT_TRUE(thread.Resume());
    EXPECT_FALSE(thread.Resume());
    thread.Join();

    EXPECT_TRUE(record.ran);
    EXPECT_EQ(record.argument, &value);
    EXPECT_EQ(record.threadId, id);
    EXPECT_EQ(thread.ThreadId(), Utils::Thread::kNoThreadId);
    EXPECT_FALSE(thread.Valid());
    EXPECT_FALSE(thread.Resume());
    thread.Join(); // a second Join has nothing to wait for
}

TEST(Thread, KernelShowsTheDebuggerName) {
    struct Case {
        std::wstring name;
        std::string expected; // "" stands for "t<thread id>"
    } cases[] = {
        {L"Downloader", "Downloader"},
        {L"", ""},
        {L"InstallerWorkerThread", "InstallerWorker"},
        // 14 ASCII bytes then a three-byte character: the cut keeps only whole characters.
        {L"ABCDEFGHIJKLMN\u5b89\u88c5", "ABCDEFGHIJKLMN"},
    };
    for (const auto& c : cases) {
        Record record;
        Utils::Thread thread(nullptr, c.name, recordingBody(record));
        ASSERT_TRUE(thread.Valid());
        std::string expected = c.expected.empty() ? "t" + std::to_string(thread.ThreadId()) : c.expected;
        EXPECT_EQ(kernelName(thread.ThreadId()), expected) << expected;
        thread.Resume();
    }
}

TEST(Thread, ReleasingAThreadThatWasNeverResumedDoesNotRunTheBody) {
    Record record;
    uint32_t id = 0;
    std::string log = TestSupport::CaptureStandardError([&] {
        Utils::Thread thread(nullptr, L"idle", recordingBody(record));
        id = thread.ThreadId();
    }); // the destructor must return
    EXPECT_FALSE(record.ran);
    EXPECT_EQ(log.find("THREAD BEGIN"), std::string::npos) << log;
    EXPECT_TRUE(TestSupport::WaitUntil([&] { return !std::filesystem::exists(taskPath(id)); }));

    Utils::Thread joined(nullptr, L"idle", recordingBody(record));
    joined.Join();
    EXPECT_FALSE(record.ran);
    EXPECT_EQ(joined.ThreadId(), Utils::Thread::kNoThreadId);
}

TEST(Thread, LogsBeginAndEndOnTheThreadEvenWhenTheBodyThrows) {
    struct Case {
        const char* label;
        std::function<uint32_t(void*)> body;
        const char* between; // text expected between the two lines
    } cases[] = {
        {"returns", [](void*) { return 0u; }, nullptr},
        {"throws", [](void*) -> uint32_t { throw std::runtime_error("disk vanished"); }, "disk vanished"},
        {"throws a non-exception", [](void*) -> uint32_t { throw 42; }, "THREAD EXCEPTION"},
    };
    for (const auto& c : cases) {
        uint32_t id = 0;
        std::string log = TestSupport::CaptureStandardError([&] {
            Utils::Thread thread(nullptr, L"logger", c.body);
            id = thread.ThreadId();
            thread.Resume();
            thread.Join();
        });
        char header[40];
        snprintf(header, sizeof header, "<P%05u><T%05u><", Utils::CurrentProcessId(), id);
        std::string begin = "(Utils::Thread::CallBack)<";
        size_t beginAt = log.find(":THREAD BEGIN\r\n");
        size_t endAt = log.find(":THREAD END\r\n");
        ASSERT_NE(beginAt, std::string::npos) << c.label << "\n" << log;
        ASSERT_NE(endAt, std::string::npos) << c.label << "\n" << log;
        EXPECT_LT(beginAt, endAt) << c.label;
        EXPECT_EQ(log.rfind(header, 0), 0u) << c.label << "\n" << log;
        EXPECT_NE(log.find(begin), std::string::npos) << c.label << "\n" << log;
        if (c.between) {
            size_t at = log.find(c.between);
            EXPECT_TRUE(at > beginAt && at < endAt) << c.label << "\n" << log;
        }
    }
}
