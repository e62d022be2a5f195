#include "utils/Thread.h"

#include "platform/TextCodec.h"
#include "utils/DebugLog.h"

#include <condition_variable>
#include <cxxabi.h>
#include <exception>
#include <mutex>
#include <pthread.h>

namespace Utils {
namespace {

// The kernel keeps thread names to 15 bytes plus the terminating NUL.
constexpr size_t kMaxNameBytes = 15;

std::string debuggerName(const std::wstring& name, uint32_t threadId) {
    std::string text = Platform::NativeText(name);
    if (text.empty())
        return "t" + std::to_string(threadId);
    if (text.size() > kMaxNameBytes) {
        // Cut before a UTF-8 continuation byte so that tools do not show half a character.
        size_t cut = kMaxNameBytes;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
            --cut;
        text.resize(cut > 0 ? cut : kMaxNameBytes);
    }
    return text;
}

} // namespace

// The thread and its start gate. The gate also carries the thread's id back to the creator, so the id
// is known before the creator can resume or name the thread.
struct Thread::Handle {
    enum class Gate { Closed, Open, Cancelled };

    pthread_t thread{};
    std::mutex lock;
    std::condition_variable changed;
    Gate gate = Gate::Closed;
    bool idPublished = false;
    uint32_t threadId = 0;
};

Thread::Thread(void* argument, std::wstring name, std::function<uint32_t(void*)> body)
    : m_Handle(std::make_unique<Handle>()), m_Body(std::move(body)), m_Argument(argument),
      m_Name(std::move(name)) {
    if (int error = pthread_create(&m_Handle->thread, nullptr, &Thread::CallBack, this); error != 0) {
        UTILS_LOG(L"pthread_create failed: %d\r\n", error);
        m_Handle.reset();
        return;
    }
    {
        std::unique_lock lock(m_Handle->lock);
        m_Handle->changed.wait(lock, [this] { return m_Handle->idPublished; });
        m_ThreadId = m_Handle->threadId;
    }
    pthread_setname_np(m_Handle->thread, debuggerName(m_Name, m_ThreadId).c_str());
}

Thread::~Thread() {
    Join();
}

bool Thread::Resume() {
    if (!m_Handle)
        return false;
    std::lock_guard lock(m_Handle->lock);
    if (m_Handle->gate != Handle::Gate::Closed)
        return false;
    m_Handle->gate = Handle::Gate::Open;
    m_Handle->changed.notify_all();
    return true;
}

void Thread::Join() {
    if (!m_Handle)
        return;
    {
        // A thread still at the gate would wait for ever; let it end without running the body.
        std::lock_guard lock(m_Handle->lock);
        if (m_Handle->gate == Handle::Gate::Closed) {
            m_Handle->gate = Handle::Gate::Cancelled;
            m_Handle->changed.notify_all();
        }
    }
    // Joining itself would fail; let the thread clean up after itself instead of leaking it.
    if (pthread_equal(pthread_self(), m_Handle->thread))
        pthread_detach(m_Handle->thread);
    else
        pthread_join(m_Handle->thread, nullptr);
    m_Handle.reset();
    m_ThreadId = kNoThreadId;
}

void* Thread::CallBack(void* parameter) {
    auto* self = static_cast<Thread*>(parameter);
    Handle& handle = *self->m_Handle;
    {
        std::unique_lock lock(handle.lock);
        handle.threadId = CurrentThreadId();
        handle.idPublished = true;
        handle.changed.notify_all();
        handle.changed.wait(lock, [&handle] { return handle.gate != Handle::Gate::Closed; });
        if (handle.gate == Handle::Gate::Cancelled)
            return nullptr;
    }
    UTILS_LOG(L"THREAD BEGIN\r\n");
    try {
        self->m_Body(self->m_Argument);
    } catch (const abi::__forced_unwind&) {
        throw; // thread cancellation must unwind to its end
    } catch (const std::exception& error) {
        UTILS_LOG(L"THREAD EXCEPTION: %ls\r\n", Platform::FromNativeText(error.what()).c_str());
    } catch (...) {
        UTILS_LOG(L"THREAD EXCEPTION\r\n");
    }
    UTILS_LOG(L"THREAD END\r\n");
    return nullptr;
}

} // namespace Utils
