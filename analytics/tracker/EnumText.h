#pragma once

#include "analytics/tracker/QxEvents.h"

#include <string>

// The texts the collector receives for the enumerations. A number outside an enumeration throws
// QxException.
namespace quxin::tracking {

std::string toString(QxClickType value);
std::string toString(QxResult value);
std::string userType(QxUserType value);
std::string toString(QxCurrency value);
std::string toString(QxPaidPlatform value);
std::string toString(QxIapType value);
std::string toString(QxUpdateOp value);
std::string toString(QxUpdateResult value);
std::string toString(QxIoType value);
// 0 "china", 1 "overseas".
std::string editionText(int edition);

} // namespace quxin::tracking
