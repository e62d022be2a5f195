#pragma once

#include "download/Downloader.h"
#include "platform/TextCodec.h"

#include <mutex>
#include <ostream>
#include <string>
#include <vector>

// One event as the pipeline's owner receives it.
struct Event {
    int32_t code;
    double value;
    std::wstring text;

    bool operator==(const Event&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Event& event) {
    std::string text = Platform::ToUtf8(event.text.substr(0, 80)) + (event.text.size() > 80 ? "..." : "");
    return out << "{" << event.code << ", " << event.value << ", L\"" << text << "\"}";
}

// Records the events of a runner, from whichever thread they come.
class EventRecorder {
public:
    ReportCallback Callback() {
        return [this](int32_t code, double value, const wchar_t* text) {
            std::lock_guard lock(m_Lock);
            m_Events.push_back({code, value, text});
        };
    }

    std::vector<Event> Events() const {
        std::lock_guard lock(m_Lock);
        return m_Events;
    }

    // The events without the progress events of `progressCode`.
    std::vector<Event> Without(int32_t progressCode) const {
        std::vector<Event> kept;
        for (const Event& event : Events())
            if (event.code != progressCode)
                kept.push_back(event);
        return kept;
    }

    void Clear() {
        std::lock_guard lock(m_Lock);
        m_Events.clear();
    }

private:
    mutable std::mutex m_Lock;
    std::vector<Event> m_Events;
};
