// TCompatHostSource: what the options page needs from the per-host engine memory. The browser
// layer's memory implements it, so the options page names no browser type.
#pragma once

#include <QString>
#include <QStringList>

class TCompatHostSource {
public:
    virtual ~TCompatHostSource() = default;

    // The hosts remembered for the compatibility engine, sorted, each once.
    virtual QStringList CompatHosts() const = 0;
    // True for a host set again at every start, which cannot be sent back for good.
    virtual bool IsBuiltIn(const QString& host) const = 0;
    // Remembers Chromium for the host from now on.
    virtual void SendToChromium(const QString& host) = 0;
};
