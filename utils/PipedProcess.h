#pragma once

#include "utils/Pipe.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Utils {

// A child process whose standard input, output and error run through pipes held by this object.
// Used by one owner thread: launch, read the output to its end, wait, close.
class PipedProcess {
public:
    static constexpr size_t kMaxCommandLine = 1023;
    static constexpr uint32_t kStillActive = 259;
    // ExitCode() and Wait() without a launched child, or when someone else reaped it.
    static constexpr uint32_t kNoExitCode = 0xFFFFFFFF;

    // Creates the error, output and input pipes; throws Utils::Exception when one cannot be created.
    PipedProcess();
    ~PipedProcess();

    PipedProcess(const PipedProcess&) = delete;
    PipedProcess& operator=(const PipedProcess&) = delete;

    // Starts arguments[0] (searched on PATH when it has no slash) with the whole vector as its
    // arguments, in this process's environment and directory. `commandLine` is the same call as one
    // text, kept for logs; more than kMaxCommandLine characters is refused before anything starts.
    // Throws Utils::Exception when the child cannot be started; the pipes then stay open for Close.
    void Launch(const std::wstring& commandLine, const std::vector<std::wstring>& arguments);

    const std::wstring& CommandLine() const { return m_CommandLine; }
    uint32_t ProcessId() const { return static_cast<uint32_t>(m_ProcessId); }

    // -1 once closed.
    int OutputReadEnd() const { return m_OutputPipe.ReadEnd(); }
    int ErrorReadEnd() const { return m_ErrorPipe.ReadEnd(); }
    int InputWriteEnd() const { return m_InputPipe.WriteEnd(); }

    // Blocking reads; 0 at the end of the stream (or on an error, or when the end is closed).
    size_t ReadOutput(char* buffer, size_t size);
    size_t ReadError(char* buffer, size_t size);
    // Closes the input so that the child sees the end of its standard input.
    void CloseInput();

    // kStillActive while the child runs, else its exit status, or 128 + the signal that ended it.
    uint32_t ExitCode();
    // Waits for the child to end and returns the same code as ExitCode().
    uint32_t Wait();

    // Closes every pipe end still open and collects the child if it has ended; a running child is
    // left running (Wait still works).
    void Close();

private:
    // Collects the child's status once; true when it has ended.
    bool reap(bool block);

    std::wstring m_CommandLine;
    Pipe m_ErrorPipe;
    Pipe m_OutputPipe;
    Pipe m_InputPipe;
    int32_t m_ProcessId = 0;
    bool m_Reaped = false;
    uint32_t m_ExitCode = kStillActive;
};

} // namespace Utils
