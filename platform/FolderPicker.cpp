#include "platform/FolderPicker.h"

#include "platform/TextCodec.h"

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace Platform {

namespace {

struct DialogRun {
    bool started = false;
    bool accepted = false; // ended with status 0 (a cancelled dialog ends with 1)
    std::string output;
};

DialogRun RunDialog(const std::vector<std::string>& arguments) {
    DialogRun run;
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0)
        return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int started = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (started != 0) {
        close(out[0]);
        return run;
    }
    run.started = true;
    char buffer[512];
    ssize_t got = 0;
    while ((got = read(out[0], buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR))
        if (got > 0)
            run.output.append(buffer, static_cast<size_t>(got));
    close(out[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    run.accepted = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

} // namespace

std::optional<std::wstring> PickFolder(const std::wstring& title) {
    const std::string caption = ToUtf8(title);
    const std::vector<std::vector<std::string>> dialogs = {
        {"zenity", "--file-selection", "--directory", "--title=" + caption},
        {"kdialog", "--getexistingdirectory", ".", "--title", caption},
    };
    for (const auto& dialog : dialogs) {
        DialogRun run = RunDialog(dialog);
        if (!run.started)
            continue;
        while (!run.output.empty() && (run.output.back() == '\n' || run.output.back() == '\r'))
            run.output.pop_back();
        if (!run.accepted || run.output.empty())
            return std::nullopt;
        return FromUtf8(run.output);
    }
    return std::nullopt;
}

} // namespace Platform
