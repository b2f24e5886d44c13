// The site registration request and the reading of its answer.
#include "services/DomainAddInfo.h"

#include "common/Json.h"
#include "common/UrlText.h"

#include <QJsonArray>
#include <QJsonObject>

QString TDomainAddInfo::JsonText() const {
    const QJsonObject object{
        {QStringLiteral("website_name"), WebsiteName},
        {QStringLiteral("domain"), MainDomainOfUrl(Domain)},
        {QStringLiteral("contacts"), Contacts},
        {QStringLiteral("expire_time"), ExpireTime},
        {QStringLiteral("mobile"), Mobile},
        {QStringLiteral("phone"), Phone},
        {QStringLiteral("company_address"), CompanyAddress},
        {QStringLiteral("company_name"), CompanyName},
        {QStringLiteral("license_num"), LicenseNum},
        {QStringLiteral("qq"), QQ},
    };
    return WriteJson(object);
}

bool TDomainAddInfo::Accepted(const QJsonValue& result) {
    switch (result.type()) {
    case QJsonValue::Bool:
        return result.toBool();
    case QJsonValue::Double:
        return result.toDouble() != 0.0;
    case QJsonValue::String:
        return !result.toString().isEmpty();
    case QJsonValue::Array:
        return !result.toArray().isEmpty();
    case QJsonValue::Object:
        return !result.toObject().isEmpty();
    default:
        return false;
    }
}
