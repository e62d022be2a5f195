#include "analytics/tracker/TrackerConfig.h"

#include "analytics/tracker/UsageTrackerImpl.h"
#include "analytics/tracker/UsageTrackerWrapper.h"

namespace quxin::tracking {

std::shared_ptr<UsageTrackerWrapper> TrackerConfig::createTracker() const {
    auto impl = std::make_unique<UsageTrackerImpl>(*this);
    try {
        impl->init();
    } catch (...) {
        // Kept anyway: its operations still validate, they only record nothing.
    }
    return std::make_shared<UsageTrackerWrapper>(std::move(impl));
}

} // namespace quxin::tracking
