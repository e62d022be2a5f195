#pragma once

#include <string>

namespace Utils {

// A system-wide name that only one process can hold at a time: the single-instance lock. Held from
// Acquire until Release or destruction; the system lets go of it when the process ends, even by a crash.
class NamedMutex {
public:
    explicit NamedMutex(std::wstring name) : m_Name(std::move(name)) {}
    ~NamedMutex() { Release(); }
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    // Takes the name if this object does not hold it yet. Afterwards Held() is false when another
    // process holds it (or it could not be made).
    void Acquire();
    void Release();
    bool Held() const { return m_Handle >= 0; }

    // The name of the system object: a fixed prefix, then the given name.
    std::wstring KernelName() const { return L"D1A547DB89C0BC61_" + m_Name; }

private:
    std::wstring m_Name;
    int m_Handle{-1};
};

} // namespace Utils
