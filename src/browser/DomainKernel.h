// The page engine remembered per site host (qb_domain_kernel), keyed by the MD5 of the host text.
#pragma once

#include "options/CompatHostSource.h"

#include <QHash>
#include <QJsonArray>
#include <QSet>
#include <QString>
#include <QStringList>

class TDb;

struct TKernelInfo {
    QString domain;    // host text as remembered; empty when nothing is remembered
    quint8 kernel = 0; // 0 Chromium, 1 the compatibility engine
};

class TDomainKernel final : public TCompatHostSource {
public:
    // Host texts longer than this are not remembered.
    static constexpr int MaxDomainLength = 260;

    explicit TDomainKernel(TDb& db);

    // Clears the memory and fills it from the table (empty when the table cannot be read).
    void LoadKernels();
    // The remembered choice for the address's host; an empty domain when there is none. The host
    // keeps its letter case and port: "A.com" and "a.com:81" are other hosts than "a.com".
    TKernelInfo LookupKernel(const QString& url) const;
    // Remembers the engine for the address's host, in memory and in the table. Empty addresses
    // and "about:blank" are never remembered, nor anything but engine 0 or 1.
    void RememberKernel(const QString& url, int kernel);
    // Marks each listed host ({"domain": text} objects) for the compatibility engine, in memory
    // only, replacing what was loaded for it.
    void ApplyDefaultKernels(const QJsonArray& list);
    // The same from JSON text; text that is not a JSON array is logged and changes nothing.
    void ApplyDefaultKernels(const QString& jsonText);

    int Count() const { return m_kernels.size(); }

    // The hosts remembered for the compatibility engine, sorted, each once.
    QStringList CompatHosts() const override;
    // Sends a host back to Chromium: it stays remembered, as engine 0, in memory and in the table.
    // Open tabs keep their engine until their next navigation.
    void SendToChromium(const QString& host) override { RememberKernel(host, 0); }
    // True for a host of the built-in list, which is set again at every start.
    bool IsBuiltIn(const QString& host) const override { return m_builtIn.contains(KeyOf(host)); }

private:
    static QString KeyOf(const QString& host);

    TDb& m_db;
    QHash<QString, TKernelInfo> m_kernels;
    QSet<QString> m_builtIn; // keys of the built-in hosts
};
