// The failure of a web API call: one message text, plus what kind of failure it was so that a
// caller can tell an unconfigured service from a refused or broken call.
#pragma once

#include <QString>
#include <stdexcept>

class TApiError : public std::runtime_error {
public:
    enum TKind {
        akNotConfigured,    // no web API address was built in: nothing was sent
        akNoAuthentication, // no token holder: nothing was sent
        akTransport,        // could not connect, HTTP error status, broken or oversized answer
        akBadAnswer         // the answer is not a JSON object or its "code" is not success
    };

    TApiError(TKind kind, const QString& message)
        : std::runtime_error(message.toStdString()), m_kind(kind), m_message(message) {}

    TKind Kind() const { return m_kind; }
    QString Message() const { return m_message; }

private:
    TKind m_kind;
    QString m_message;
};
