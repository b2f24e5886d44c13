// Credentials of pages that ask for them: one dialog at a time, and the answer used once.
#include "browser/TabController.h"

#include "browser/BrowserTab.h"
#include "browser/TabControllerPrivate.h"
#include "browser/ChromiumView.h"
#include "browser/FormIdentityAuth.h"
#include "common/Messages.h"
#include <QAuthenticator>
#include <QCoreApplication>

void TTabController::crmGetAuthCredentials(TChromiumView* view, const QUrl& url,
                                           QAuthenticator* authenticator) {
    if (!m_storedUser.isEmpty()) {
        // The credentials the user just gave are used for this one request, then forgotten.
        authenticator->setUser(m_storedUser);
        authenticator->setPassword(m_storedPassword);
        m_storedUser.clear();
        m_storedPassword.clear();
        return;
    }
    const QString realm = authenticator->realm();
    *authenticator = QAuthenticator(); // this request is given up
    if (m_authPending)
        return; // one dialog at a time: the repeated requests of one page ask once
    m_authPending = true;
    TAuthRequest request{realm.left(260), url.host().left(260), url.port(url.scheme() == "https" ? 443 : 80),
                         view};
    QCoreApplication::postEvent(this, new TRecordMessage<TAuthRequest>(WM_AUTH_REQUEST, request));
}

void TTabController::HandleAuthRequest(const QString& realm, const QString& host, int port,
                                       TChromiumView* view) {
    const QString prompt = TFormIdentityAuth::PromptText(realm, host, port);
    QString user;
    QString password;
    bool confirmed = false;
    if (m_authPrompt) {
        confirmed = m_authPrompt(prompt, &user, &password);
    } else {
        TFormIdentityAuth dialog(m_pageHost ? m_pageHost->window() : nullptr);
        dialog.SetPrompt(prompt);
        confirmed = dialog.exec() == QDialog::Accepted;
        user = dialog.UserName();
        password = dialog.Password();
    }
    m_authPending = false;
    if (!confirmed) {
        m_storedUser.clear();
        m_storedPassword.clear();
        return;
    }
    m_storedUser = user;
    m_storedPassword = password;
    // The repeated request of the page that asked picks the credentials up.
    TChromiumView* target = view;
    if (!target || !TabOfView(target)) {
        TBrowserTab* current = CurrentTab();
        target = current ? current->Browser : nullptr;
    }
    if (target)
        target->reload();
}
