#pragma once

#include <cstdint>
#include <string>

// What an installer session shows. The main window draws it; the silent mode prints it.
class InstallView {
public:
    enum class MessageBox { Info, Warning }; // the two message windows: "MessageBox1Wnd", "MessageBox2Wnd"
    enum class EarlierInstallAnswer { InstallLatest = 0, OpenProduct = 1, Closed = 2 };
    enum class DownloadFailedAnswer { Retry = 0, Later = 1, Closed = 2 };

    virtual ~InstallView() = default;

    // A pipeline event as it reached the session, before the session acts on it.
    virtual void ShowEvent(int32_t code, double value, const std::wstring& text) = 0;
    virtual void ShowProgress(int percent, const std::wstring& text) = 0;
    virtual void ShowMessage(MessageBox box, const std::wstring& caption, const std::wstring& text) = 0;
    virtual EarlierInstallAnswer AskAboutEarlierInstall() = 0;
    virtual DownloadFailedAnswer AskAfterDownloadFailure() = 0;
    virtual void ShowPage(int page) = 0;
    // The install button is disabled while an attempt is being prepared.
    virtual void EnableInstallButton(bool enabled) = 0;
    // The end of an installation attempt: success, or a failure the user has been told about.
    virtual void AttemptEnded(bool succeeded) = 0;
    // Timer 10 brings the window to the front after `delay` ms, timer 11 closes it.
    virtual void SetTimer(int id, uint32_t delay) = 0;
    // Lets the view handle what is pending for about 100 ms (before a program is started).
    virtual void PumpMessages() = 0;
    virtual void Close() = 0;
    // The progress text's own format, when the view has one ("userdata" of the label); else empty.
    virtual std::wstring ProgressFormat() { return {}; }
    // The locale name chosen in the view's language selection; empty when it has none.
    virtual std::wstring SelectedLocaleName() { return {}; }
    // The interface text of a number (the language file's), empty when none is loaded.
    virtual std::wstring InterfaceText(int) { return {}; }
};
