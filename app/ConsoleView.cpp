#include "app/ConsoleView.h"

#include "install/InstallSession.h"
#include "platform/TextCodec.h"

#include <cstdio>

namespace {

// One record per line: line breaks inside a text are written as \r and \n.
std::string lineText(const std::wstring& text) {
    std::string out;
    for (char c : Platform::ToUtf8(text)) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

void printLine(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

void ConsoleView::ShowEvent(int32_t code, double value, const std::wstring& text) {
    char number[64];
    std::snprintf(number, sizeof number, "%d\t%g\t", code, value);
    printLine(number + lineText(text));
}

void ConsoleView::ShowProgress(int percent, const std::wstring& text) {
    printLine("PROGRESS\t" + std::to_string(percent) + "\t" + lineText(text));
}

void ConsoleView::ShowMessage(MessageBox, const std::wstring& caption, const std::wstring& text) {
    printLine("MESSAGE\t" + lineText(caption) + "\t" + lineText(text));
}

void ConsoleView::AttemptEnded(bool succeeded) {
    finish(succeeded ? kExitSuccess : kExitFailure);
}

void ConsoleView::Close() {
    finish(kExitFailure);
}

void ConsoleView::finish(int exitCode) {
    if (m_Finished)
        return;
    m_Finished = true;
    m_Loop.Quit(exitCode);
}

int RunSilentInstall() {
    EventLoop loop;
    ConsoleView view(loop);
    CInstallSession session(view, [&loop](std::function<void()> work) { loop.Post(std::move(work)); });
    session.Init();
    // Without an earlier installation to act on, do what the default install button does.
    if (!view.Finished() && !session.InstallStarted())
        session.InstallDefault();
    return loop.Run();
}
