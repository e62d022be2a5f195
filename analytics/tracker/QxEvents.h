#pragma once

#include <memory>
#include <string>

// The tracker's business events, filled by the caller. Strings are UTF-8; an optional number is a
// shared pointer that may be null. Enumerations keep their numbers: an unknown number is refused when
// the event is tracked.
namespace quxin::tracking {

enum class QxClickType : int { Button = 0, Banner, Tutorial, File, Others };
enum class QxResult : int { Success = 0, Cancelled, Fail, Unknown };
enum class QxUserType : int {
    Unknown = 0,
    MobilePhone,
    Email,
    Weixin,
    QQ,
    DeviceId,
    Baidu,
    Huawei,
    Apple,
    QuxinUserId,
    Google,
    Facebook
};
enum class QxCurrency : int { CNY = 0, USD, EUR, HKD, TWD, MOP, SGD, JPY, KRW, INR, GBP };
enum class QxPaidPlatform : int {
    Alipay = 0,
    WeChatPay,
    PayPal,
    Tenpay,
    CIECC,
    GooglePay,
    HuaweiPay,
    AppleIAP,
    Paddle,
    ChinaUnionPay
};
enum class QxIapType : int { Consumable = 0, NonConsumable, AutoRenewable, NonRenewable };
enum class QxUpdateOp : int { UpdateCheck = 0, DownloadStart, DownloadEnd, UpgrateStart, UpgrateEnd };
enum class QxUpdateResult : int { Success = 0, Cancelled, Timeout, Fail, Latest, Updateable };
enum class QxIoType : int { Input = 0, Output };

template <typename T> using QxOptional = std::shared_ptr<T>;

struct QxEventClick {
    std::string aname{};
    std::string name{};
    QxClickType clickType{QxClickType::Button};
    std::string title{};
    std::string module{};
    std::string position{};
    QxOptional<int> tabIndex{};
    std::string tabName{};
    QxOptional<int> bannerIndex{};
    std::string bannerName{};
};

struct QxEventView {
    std::string aname{};
    std::string name{};
    std::string title{};
    std::string position{};
};

struct QxEventCashier {
    std::string cashierName{};
    std::string cashierTitle{};
    std::string subitem{};
};

struct QxEventShare {
    std::string aname{};
    std::string channel{};
    std::string position{};
    std::string sharedName{};
    QxOptional<QxResult> result{};
};

struct QxEventTask {
    std::string aname{};
    std::string name{};
    std::string reason{};
    QxOptional<float> elapsed{}; // seconds
    QxOptional<QxResult> result{};
};

struct QxEventFile {
    std::string aname{};
    std::string name{};
    QxOptional<QxIoType> io{};
    std::string ext{};
    QxOptional<float> size{};
    QxOptional<int> duration{};
    QxOptional<float> fps{};
    QxOptional<float> bps{};
    QxOptional<int> width{};
    QxOptional<int> height{};
    QxOptional<int> depth{};
    QxOptional<QxResult> result{};
};

struct QxEventOrder {
    std::string orderId{};
    std::string subitem{};
    std::string sku{};
    std::string suitId{};
    QxOptional<QxCurrency> currency{};
    float originalAmount{0};
    QxOptional<int> campaignCode{};
    std::string voucherId{};
    float paidAmount{0};
    float curOriginalAmount{0};
    float curPaidAmount{0};
    std::string cashierName{};
    std::string cashierTitle{};
};

struct QxEventPayment {
    std::string orderId{};
    std::string subitem{};
    std::string sku{};
    QxOptional<QxCurrency> currency{};
    float originalAmount{0};
    QxOptional<int> campaignCode{};
    std::string voucherId{};
    std::string usedVoucherId{};
    float paidAmount{0};
    std::string suitId{};
    std::string cashierName{};
    std::string cashierTitle{};
    QxOptional<QxPaidPlatform> paidPlatform{};
    QxOptional<QxResult> result{};
    QxOptional<QxIapType> iapType{};
    float curOriginalAmount{0};
    float curPaidAmount{0};
};

struct QxEventUpdate {
    QxUpdateOp op{QxUpdateOp::UpdateCheck};
    QxOptional<QxUpdateResult> result{};
    QxOptional<float> elapsed{};
};

struct QxUserInfo {
    std::string loginId{};
    std::string userName{};
    QxUserType userType{QxUserType::Unknown};
    std::string nickname{};
    std::string portrait{};
    std::string mobilePhone{};
    std::string email{};
    std::string weixinId{};
    std::string qqId{};
    std::string deviceId{};
    std::string createdTime{};
    std::string lastLoginTime{};
    std::string lastIp{};
    int vipLevel{0};
    std::string vipEndDate{};
};

struct QxAppOpenNotification {
    std::string msgTitle{};
    std::string msgContent{};
    std::string linkUrl{};
    std::string planId{};
    std::string audienceId{};
    std::string planStrategyId{};
    std::string planType{};
    std::string strategyUnitId{};
};

} // namespace quxin::tracking
