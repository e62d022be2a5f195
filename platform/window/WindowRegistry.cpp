#include "platform/window/WindowState.h"

#include <atomic>
#include <unordered_map>

namespace Platform::WindowInternals {

namespace {

struct Registry {
    std::mutex lock;
    std::unordered_map<WindowHandle, std::unique_ptr<WindowRecord>> windows;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

} // namespace

ThreadState& CurrentThread() {
    thread_local ThreadState state;
    return state;
}

WindowHandle NewHandle() {
    static std::atomic<WindowHandle> next{1};
    return next++;
}

void RegisterWindow(std::unique_ptr<WindowRecord> record) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.lock);
    const WindowHandle handle = record->handle;
    registry.windows.emplace(handle, std::move(record));
}

std::unique_ptr<WindowRecord> UnregisterWindow(WindowHandle window) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.lock);
    auto found = registry.windows.find(window);
    if (found == registry.windows.end())
        return nullptr;
    std::unique_ptr<WindowRecord> record = std::move(found->second);
    registry.windows.erase(found);
    return record;
}

WindowRecord* Own(WindowHandle window) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.lock);
    auto found = registry.windows.find(window);
    if (found == registry.windows.end() || found->second->queue != CurrentThread().queue)
        return nullptr;
    // Only this thread changes or removes its own records, so the pointer stays valid after the lock.
    return found->second.get();
}

std::shared_ptr<ThreadQueue> QueueOf(WindowHandle window) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.lock);
    auto found = registry.windows.find(window);
    if (found == registry.windows.end() || found->second->destroying)
        return nullptr;
    return found->second->queue;
}

} // namespace Platform::WindowInternals

