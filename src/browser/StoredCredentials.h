// The user name and password a user gave for one server's login request, waiting for the page's
// repeated request: handed out once, and only to a request of the same host, port and realm.
#pragma once

#include <QString>

class TStoredCredentials final {
public:
    void Store(const QString& host, int port, const QString& realm, const QString& user,
               const QString& password);
    void Clear() { *this = TStoredCredentials(); }
    bool IsEmpty() const { return m_user.isEmpty(); }
    // True (with the user name and password) when the request is the one the credentials were
    // given for; they are forgotten then. Any other request gets nothing and leaves them stored.
    bool Take(const QString& host, int port, const QString& realm, QString* user, QString* password);

private:
    QString m_host;
    int m_port = 0;
    QString m_realm;
    QString m_user;
    QString m_password;
};
