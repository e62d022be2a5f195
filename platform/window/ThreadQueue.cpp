#include "platform/window/WindowState.h"

#include <cerrno>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <utility>

namespace Platform::WindowInternals {

std::uint32_t NowMilliseconds() {
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count());
}

ThreadQueue::ThreadQueue() : m_WakeDescriptor(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

ThreadQueue::~ThreadQueue() {
    if (m_WakeDescriptor >= 0)
        close(m_WakeDescriptor);
}

void ThreadQueue::post(const Message& message) {
    {
        std::lock_guard lock(m_Lock);
        m_Posted.push_back(message);
    }
    wake();
}

void ThreadQueue::postInput(const InputEvent& event) {
    {
        std::lock_guard lock(m_Lock);
        m_Input.push_back(event);
    }
    wake();
}

void ThreadQueue::postQuit(int exitCode) {
    {
        std::lock_guard lock(m_Lock);
        m_Quit = exitCode;
    }
    wake();
}

std::optional<Message> ThreadQueue::takePosted() {
    std::lock_guard lock(m_Lock);
    if (m_Posted.empty())
        return std::nullopt;
    Message message = m_Posted.front();
    m_Posted.pop_front();
    return message;
}

std::optional<InputEvent> ThreadQueue::takeInput() {
    std::lock_guard lock(m_Lock);
    if (m_Input.empty())
        return std::nullopt;
    InputEvent event = std::move(m_Input.front());
    m_Input.pop_front();
    return event;
}

std::optional<int> ThreadQueue::takeQuit() {
    std::lock_guard lock(m_Lock);
    return std::exchange(m_Quit, std::nullopt);
}

void ThreadQueue::wake() {
    const std::uint64_t one = 1;
    // A full counter already means "wake up"; nothing else can go wrong with a valid eventfd.
    [[maybe_unused]] ssize_t written = write(m_WakeDescriptor, &one, sizeof one);
}

void ThreadQueue::wait(int displayDescriptor, int timeoutMilliseconds) {
    {
        // Whatever arrived after the caller looked must not wait for the next wake-up.
        std::lock_guard lock(m_Lock);
        if (!m_Posted.empty() || !m_Input.empty() || m_Quit)
            return;
    }
    pollfd descriptors[2] = {{m_WakeDescriptor, POLLIN, 0}, {displayDescriptor, POLLIN, 0}};
    const nfds_t count = displayDescriptor >= 0 ? 2 : 1;
    while (poll(descriptors, count, timeoutMilliseconds) < 0 && errno == EINTR) {
    }
    std::uint64_t drained = 0;
    [[maybe_unused]] ssize_t read = ::read(m_WakeDescriptor, &drained, sizeof drained);
}

} // namespace Platform::WindowInternals
