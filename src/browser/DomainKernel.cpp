// The per-host engine memory.
#include "browser/DomainKernel.h"

#include "common/Json.h"
#include "common/Logging.h"
#include "common/Md5.h"
#include "common/UrlText.h"
#include "storage/DbMain.h"
#include "storage/SqlText.h"

TDomainKernel::TDomainKernel(TDb& db) : m_db(db) {}

QString TDomainKernel::KeyOf(const QString& host) {
    return Md5Hex(host);
}

void TDomainKernel::LoadKernels() {
    m_kernels.clear();
    m_builtIn.clear();
    auto table = m_db.Query(QStringLiteral("SELECT * FROM qb_domain_kernel"));
    if (!table || table->RowCount() == 0)
        return;
    try {
        const int domain = table->ColumnIndex(QStringLiteral("domain"));
        const int kernel = table->ColumnIndex(QStringLiteral("kernel"));
        for (; !table->AtEnd(); table->MoveNext()) {
            TKernelInfo info;
            info.domain = table->GetText(domain);
            info.kernel = static_cast<quint8>(table->GetInt64(kernel));
            m_kernels.insert(KeyOf(info.domain), info);
        }
    } catch (const ESQLiteException& e) {
        WriteLog(QStringLiteral("DomainKernel: ") + e.Message());
    }
}

TKernelInfo TDomainKernel::LookupKernel(const QString& url) const {
    return m_kernels.value(KeyOf(HostOfUrl(url)));
}

void TDomainKernel::RememberKernel(const QString& url, int kernel) {
    const QString address = url.trimmed();
    if (address.isEmpty() || address.toLower() == QLatin1String("about:blank"))
        return;
    if (kernel != 0 && kernel != 1) {
        WriteLog(QStringLiteral("DomainKernel: not an engine: ") + QString::number(kernel));
        return;
    }
    const QString host = HostOfUrl(address);
    if (host.isEmpty() || host.size() > MaxDomainLength) {
        WriteLog(QStringLiteral("DomainKernel: host not remembered: ") + address.left(300));
        return;
    }
    const QString key = KeyOf(host);
    const QString engine = QString::number(kernel);
    QString sql;
    if (m_kernels.remove(key) > 0) {
        sql = QStringLiteral("UPDATE qb_domain_kernel SET kernel = ") + engine +
              QStringLiteral(" WHERE domain = ") + SqlQuote(host);
    } else {
        sql = QStringLiteral("INSERT INTO qb_domain_kernel (domain, kernel) VALUES (") + SqlQuote(host) +
              QStringLiteral(", ") + engine + QStringLiteral(")");
    }
    m_kernels.insert(key, TKernelInfo{host, static_cast<quint8>(kernel)});
    m_db.Execute(sql);
}

QStringList TDomainKernel::CompatHosts() const {
    QStringList hosts;
    for (const TKernelInfo& info : m_kernels) {
        if (info.kernel == 1)
            hosts.append(HostOfUrl(info.domain));
    }
    hosts.sort();
    hosts.removeDuplicates();
    return hosts;
}

void TDomainKernel::ApplyDefaultKernels(const QJsonArray& list) {
    for (const QJsonValue& element : list) {
        const QString domain = JsonText(element.toObject(), QStringLiteral("domain"));
        const QString host = HostOfUrl(domain);
        if (host.isEmpty()) {
            WriteLog(QStringLiteral("DomainKernel: default entry without a host: ") + WriteJson(element));
            continue;
        }
        const QString key = KeyOf(host);
        m_kernels.remove(key);
        m_kernels.insert(key, TKernelInfo{domain, 1});
        m_builtIn.insert(key);
    }
}

void TDomainKernel::ApplyDefaultKernels(const QString& jsonText) {
    const auto value = ParseJson(jsonText);
    if (!value || !value->isArray()) {
        WriteLog(QStringLiteral("DomainKernel: default engine list is not a JSON array: ") +
                 jsonText.left(300));
        return;
    }
    ApplyDefaultKernels(value->toArray());
}
