// Credentials of pages that ask for them: one dialog at a time, and the answer used once.
#include "browser/TabController.h"

#include "browser/BrowserTab.h"
#include "browser/ChromiumView.h"
#include "browser/FormIdentityAuth.h"
#include "browser/TabControllerPrivate.h"
#include "common/Messages.h"
#include <QAuthenticator>
#include <QCoreApplication>

void TTabController::crmGetAuthCredentials(TChromiumView* view, const QUrl& url,
                                           QAuthenticator* authenticator) {
    const QString realm = authenticator->realm();
    TAuthRequest request{realm.left(260), url.host().left(260), url.port(url.scheme() == "https" ? 443 : 80),
                         view};
    QString user;
    QString password;
    if (m_storedCredentials.Take(request.Host, request.Port, request.Realm, &user, &password)) {
        // Given by the user for exactly this request; no other site or tab ever receives them.
        authenticator->setUser(user);
        authenticator->setPassword(password);
        return;
    }
    *authenticator = QAuthenticator(); // this request is given up
    if (m_authPending)
        return; // one dialog at a time: the repeated requests of one page ask once
    m_authPending = true;
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
    m_storedCredentials.Clear();
    if (!confirmed)
        return;
    m_storedCredentials.Store(host, port, realm, user, password);
    // The repeated request of the page that asked picks the credentials up.
    TChromiumView* target = view;
    if (!target || !TabOfView(target)) {
        TBrowserTab* current = CurrentTab();
        target = current ? current->Browser : nullptr;
    }
    if (target)
        target->reload();
}
