#include "tests/analytics/CollectorProcess.h"

#include <httplib.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kStartDeadlineMs = 10'000;

std::string readFirstLine(int fd) {
    std::string line;
    char c;
    while (line.find('\n') == std::string::npos) {
        pollfd ready{fd, POLLIN, 0};
        if (poll(&ready, 1, kStartDeadlineMs) <= 0 || read(fd, &c, 1) != 1)
            return {};
        line += c;
    }
    return line;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        result.push_back(text.substr(start, end - start));
    return result;
}

} // namespace

CollectorProcess::CollectorProcess(const std::string& answer) {
    const std::string program = TestSupport::BinPath("analytics-collector").string();
    std::vector<std::string> arguments = {program, "--out", (m_Dir.path() / "records.jsonl").string(),
                                          "--answer", answer};
    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    int output[2];
    if (pipe2(output, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM); // a crashed test leaves no collector behind
        if (getppid() != parent)
            _exit(127);
        dup2(output[1], STDOUT_FILENO);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(output[1]);
    if (pid < 0) {
        close(output[0]);
        throw std::runtime_error("fork failed");
    }
    m_Pid = pid;
    const std::string line = readFirstLine(output[0]);
    close(output[0]);
    if (!line.starts_with("PORT ") || (m_Port = std::atoi(line.c_str() + 5)) <= 0) {
        stop();
        throw std::runtime_error("analytics-collector did not start: '" + line + "'");
    }
}

CollectorProcess::~CollectorProcess() {
    stop();
}

std::string CollectorProcess::url() const {
    return "http://127.0.0.1:" + std::to_string(m_Port) + "/collect?project=pc";
}

void CollectorProcess::setAnswer(const std::string& answer) {
    httplib::Client client("127.0.0.1", m_Port);
    auto result = client.Post("/_control/answer?set=" + answer, "", "text/plain");
    if (!result || result->status != 200)
        throw std::runtime_error("analytics-collector refused the answer " + answer);
}

std::vector<std::string> CollectorProcess::requests() const {
    httplib::Client client("127.0.0.1", m_Port);
    auto result = client.Get("/_control/requests");
    if (!result || result->status != 200)
        throw std::runtime_error("analytics-collector did not list its requests");
    return lines(result->body);
}

std::vector<std::string> CollectorProcess::recordLines() const {
    return lines(TestSupport::ReadFile(m_Dir.path() / "records.jsonl"));
}

std::vector<Json::Value> CollectorProcess::records() const {
    std::vector<Json::Value> values;
    for (const std::string& line : recordLines())
        values.push_back(ParseJson(line));
    return values;
}

bool CollectorProcess::waitForRecords(size_t count) const {
    return TestSupport::WaitUntil([&] { return recordLines().size() >= count; });
}

int CollectorProcess::stop() {
    if (m_Pid > 0) {
        kill(m_Pid, SIGTERM);
        int status = 0;
        while (waitpid(m_Pid, &status, 0) < 0 && errno == EINTR) {
        }
        m_ExitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        m_Pid = -1;
    }
    return m_ExitStatus;
}

Json::Value ParseJson(const std::string& text) {
    Json::CharReaderBuilder builder;
    Json::CharReaderBuilder::strictMode(&builder.settings_);
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value value;
    std::string errors;
    if (!reader->parse(text.data(), text.data() + text.size(), &value, &errors))
        return Json::Value();
    return value;
}
