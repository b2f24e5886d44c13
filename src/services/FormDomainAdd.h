// The site registration form: a site owner applies for the certification the address bar's
// identity badge shows. The four required fields are checked, then everything goes to the web
// API as one call (module "GeneralApi", action "AddDomain").
#pragma once

#include "services/DomainAddInfo.h"

#include <QDialog>

class QComboBox;
class QGridLayout;
class QLineEdit;
class QPushButton;
class TToken;

class TFormDomainAdd : public QDialog {
    Q_OBJECT
public:
    // apiRoot: the web API's root ("" : not configured, nothing is ever sent); token: the
    // signed-in user's token holder, not owned, may be nullptr.
    TFormDomainAdd(const QString& apiRoot, const TToken* token, QWidget* parent = nullptr);

    void bsSkinButtonOKClick();

private:
    void BuildForm();
    QLineEdit* AddEdit(QGridLayout* grid, const QString& label, const QString& name);
    void AddExpireRow(QGridLayout* grid);
    void FormCreate();
    // Trims every free-text edit in place; false (with its message and the focus on it) at the
    // first empty required field.
    bool CheckFields();
    TDomainAddInfo Collect() const;
    void Submit(const TDomainAddInfo& info);

    QString m_apiRoot;
    const TToken* m_token;

    QLineEdit* bsSkinEditWebsiteName = nullptr;
    QLineEdit* bsSkinEditDomain = nullptr;
    QLineEdit* bsSkinEditContacts = nullptr;
    QLineEdit* bsSkinEditApplyTime = nullptr;
    QComboBox* bsSkinComboBoxExpireTime = nullptr;
    QLineEdit* bsSkinEditMobile = nullptr;
    QLineEdit* bsSkinEditPhone = nullptr;
    QLineEdit* bsSkinEditCompanyAddress = nullptr;
    QLineEdit* bsSkinEditCompanyName = nullptr;
    QLineEdit* bsSkinEditLicenseNum = nullptr;
    QLineEdit* bsSkinEditQQ = nullptr;
    QPushButton* bsSkinButtonOK = nullptr;
    QPushButton* bsSkinButtonCancel = nullptr;
};
