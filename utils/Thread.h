#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace Utils {

// A worker thread that is created held at a start gate and runs its body once, after Resume.
// Created, resumed and joined by its owner's thread; Join and the destructor must not be called from
// the worker itself.
class Thread {
public:
    static constexpr uint32_t kNoThreadId = 0xFFFFFFFF;

    // Creates the thread and names it for debuggers; ThreadId() is valid when this returns. If the
    // thread cannot be created, Valid() is false and nothing will ever run.
    Thread(void* argument, std::wstring name, std::function<uint32_t(void*)> body);
    // Waits for the thread. A thread that was never resumed is released without running the body.
    ~Thread();

    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    bool Valid() const { return m_Handle != nullptr; }
    uint32_t ThreadId() const { return m_ThreadId; }
    const std::wstring& Name() const { return m_Name; }

    // Lets the body start; false when there is no thread or it was already resumed.
    bool Resume();
    // Waits without a time-out (releasing an unresumed thread as the destructor does); afterwards no
    // thread is held and the id is kNoThreadId.
    void Join();

private:
    struct Handle;

    static void* CallBack(void* self);

    uint32_t m_ThreadId = 0;
    std::unique_ptr<Handle> m_Handle;
    std::function<uint32_t(void*)> m_Body;
    void* m_Argument = nullptr;
    std::wstring m_Name;
};

} // namespace Utils
