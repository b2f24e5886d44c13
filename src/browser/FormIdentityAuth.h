// The credentials dialog "身份认证": a server asks for a user name and a password.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

class TFormIdentityAuth final : public QDialog {
    Q_OBJECT
public:
    explicit TFormIdentityAuth(QWidget* parent = nullptr);

    // "位于 <realm> 的服务器 <host>:<port> 要求用户和密码。"
    static QString PromptText(const QString& realm, const QString& host, int port);
    void SetPrompt(const QString& prompt);
    QString UserName() const;
    QString Password() const;

private:
    QLabel* m_labelPrompt;
    QLineEdit* m_userName;
    QLineEdit* m_password;
};
