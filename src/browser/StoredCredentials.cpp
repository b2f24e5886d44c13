// Credentials given for one login request, handed out once to that request only.
#include "browser/StoredCredentials.h"

void TStoredCredentials::Store(const QString& host, int port, const QString& realm, const QString& user,
                               const QString& password) {
    m_host = host;
    m_port = port;
    m_realm = realm;
    m_user = user;
    m_password = password;
}

bool TStoredCredentials::Take(const QString& host, int port, const QString& realm, QString* user,
                              QString* password) {
    // Host names are case-insensitive; the realm is the server's own text.
    if (IsEmpty() || host.compare(m_host, Qt::CaseInsensitive) != 0 || port != m_port || realm != m_realm)
        return false;
    *user = m_user;
    *password = m_password;
    Clear();
    return true;
}
