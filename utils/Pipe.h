#pragma once

namespace Utils {

// An anonymous pipe. Both ends are close-on-exec, so a child gets only the ends it is explicitly
// given, whichever thread starts it.
class Pipe {
public:
    // Throws Utils::Exception (empty message) when the pipe cannot be created.
    Pipe();
    ~Pipe();

    Pipe(Pipe&& other) noexcept;
    Pipe& operator=(Pipe&& other) noexcept;
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;

    // -1 once the end is closed.
    int ReadEnd() const { return m_ReadEnd; }
    int WriteEnd() const { return m_WriteEnd; }

    void CloseRead();
    void CloseWrite();
    void Close();

private:
    int m_WriteEnd = -1;
    int m_ReadEnd = -1;
};

} // namespace Utils
