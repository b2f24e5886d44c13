// The credentials dialog.
#include "browser/FormIdentityAuth.h"

#include "common/Dialogs.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

TFormIdentityAuth::TFormIdentityAuth(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormIdentityAuth"));
    setWindowTitle(tr("身份认证"));
    setModal(true);

    m_labelPrompt = new QLabel(this);
    m_labelPrompt->setObjectName(QStringLiteral("LabelPrompt"));
    m_labelPrompt->setWordWrap(true);
    m_labelPrompt->setTextFormat(Qt::PlainText); // the realm is the server's text
    m_userName = new QLineEdit(this);
    m_userName->setObjectName(QStringLiteral("bsSkinEditUserName"));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("bsSkinPasswordEdit"));
    m_password->setEchoMode(QLineEdit::Password);

    auto* fields = new QFormLayout;
    fields->addRow(tr("用户名："), m_userName);
    fields->addRow(tr("密码："), m_password);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_labelPrompt);
    layout->addLayout(fields);
    layout->addLayout(OkCancelRow(this));
    setMinimumWidth(380);
}

QString TFormIdentityAuth::PromptText(const QString& realm, const QString& host, int port) {
    return tr("位于 %1 的服务器 %2:%3 要求用户和密码。").arg(realm, host, QString::number(port));
}

void TFormIdentityAuth::SetPrompt(const QString& prompt) {
    m_labelPrompt->setText(prompt);
}
QString TFormIdentityAuth::UserName() const {
    return m_userName->text();
}
QString TFormIdentityAuth::Password() const {
    return m_password->text();
}
