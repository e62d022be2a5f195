#include "analytics/tracker/EnumText.h"

#include "analytics/tracker/QxException.h"

#include <array>

namespace quxin::tracking {
namespace {

template <typename Enum, size_t N>
std::string textOf(Enum value, const std::array<const char*, N>& texts, const char* function,
                   const char* unknownPrefix) {
    auto number = static_cast<int>(value);
    if (number < 0 || static_cast<size_t>(number) >= N)
        QX_THROW(function, unknownPrefix + std::to_string(number) + "]!");
    return texts[static_cast<size_t>(number)];
}

} // namespace

std::string toString(QxClickType value) {
    static constexpr std::array<const char*, 5> kTexts{"Button", "Banner", "Tutorial", "File", "Others"};
    return textOf(value, kTexts, "toString", "Unknown ClickType [");
}

std::string toString(QxResult value) {
    static constexpr std::array<const char*, 4> kTexts{"Success", "Cancelled", "Fail", "Unknown"};
    return textOf(value, kTexts, "toString", "Unknown task result [");
}

std::string userType(QxUserType value) {
    static constexpr std::array<const char*, 12> kTexts{"unknown", "mobilephone", "email",  "weixin",
                                                        "qq",      "deviceid",    "baidu",  "huawei",
                                                        "apple",   "quxinuserid", "google", "facebook"};
    return textOf(value, kTexts, "userType", "Unknown user type [");
}

std::string toString(QxCurrency value) {
    static constexpr std::array<const char*, 11> kTexts{"CNY", "USD", "EUR", "HKD", "TWD", "MOP",
                                                        "SGD", "JPY", "KRW", "INR", "GBP"};
    return textOf(value, kTexts, "toString", "Unknown currency [");
}

std::string toString(QxPaidPlatform value) {
    static constexpr std::array<const char*, 10> kTexts{"Alipay", "WeChatPay",    "PayPal",    "Tenpay",
                                                        "CIECC",  "GooglePay",    "HuaweiPay", "AppleIAP",
                                                        "Paddle", "ChinaUnionPay"};
    return textOf(value, kTexts, "toString", "Unknown paid platform [");
}

std::string toString(QxIapType value) {
    static constexpr std::array<const char*, 4> kTexts{"Consumable", "NonConsumable", "AutoRenewable",
                                                       "NonRenewable"};
    return textOf(value, kTexts, "toString", "Unknown qxIapType [");
}

std::string toString(QxUpdateOp value) {
    static constexpr std::array<const char*, 5> kTexts{"UpdateCheck", "DownloadStart", "DownloadEnd",
                                                       "UpgrateStart", "UpgrateEnd"};
    return textOf(value, kTexts, "toString", "Unknown QxUpdateOp [");
}

std::string toString(QxUpdateResult value) {
    static constexpr std::array<const char*, 6> kTexts{"Success", "Cancelled", "Timeout",
                                                       "Fail",    "Latest",    "Updateable"};
    return textOf(value, kTexts, "toString", "Unknown QxUpdateResult [");
}

std::string toString(QxIoType value) {
    int number = static_cast<int>(value);
    if (number != 0 && number != 1)
        QX_THROW("toString", "the io type is invalid");
    return number == 0 ? "Input" : "Output";
}

std::string editionText(int edition) {
    if (edition != 0 && edition != 1)
        QX_THROW("toString", "Unknown edition [" + std::to_string(edition) + "]!");
    return edition == 0 ? "china" : "overseas";
}

} // namespace quxin::tracking
