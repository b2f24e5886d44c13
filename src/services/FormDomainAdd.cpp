// The site registration form: its fields, the required-field checks and the submission.
#include "services/FormDomainAdd.h"

#include "common/Dialogs.h"
#include "services/ApiError.h"
#include "services/UserApi.h"

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const int kFormWidth = 375;

// The wait cursor while the form waits for the service, restored on every path.
class TWaitCursor {
public:
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};
} // namespace

TFormDomainAdd::TFormDomainAdd(const QString& apiRoot, const TToken* token, QWidget* parent)
    : QDialog(parent), m_apiRoot(apiRoot), m_token(token) {
    setObjectName(QStringLiteral("FormDomainAdd"));
    setWindowTitle(tr("品牌官网安全认证信息"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);
    setFixedWidth(kFormWidth);
    BuildForm();
    FormCreate();
}

void TFormDomainAdd::BuildForm() {
    auto* group = new QGroupBox(tr("品牌官网安全认证信息"), this);
    auto* grid = new QGridLayout(group);
    bsSkinEditWebsiteName = AddEdit(grid, tr("显示名："), QStringLiteral("bsSkinEditWebsiteName"));
    bsSkinEditDomain = AddEdit(grid, tr("域名："), QStringLiteral("bsSkinEditDomain"));
    bsSkinEditContacts = AddEdit(grid, tr("联系人："), QStringLiteral("bsSkinEditContacts"));
    AddExpireRow(grid);
    bsSkinEditMobile = AddEdit(grid, tr("手机号："), QStringLiteral("bsSkinEditMobile"));
    bsSkinEditPhone = AddEdit(grid, tr("电话："), QStringLiteral("bsSkinEditPhone"));
    bsSkinEditCompanyAddress = AddEdit(grid, tr("公司地址："), QStringLiteral("bsSkinEditCompanyAddress"));
    bsSkinEditCompanyName = AddEdit(grid, tr("公司名称："), QStringLiteral("bsSkinEditCompanyName"));
    bsSkinEditLicenseNum = AddEdit(grid, tr("营业执照号："), QStringLiteral("bsSkinEditLicenseNum"));
    bsSkinEditQQ = AddEdit(grid, tr("QQ号："), QStringLiteral("bsSkinEditQQ"));

    auto* help = new QLabel(tr("如有问题，请联系官网客服。"), this);
    help->setObjectName(QStringLiteral("LabelServiceQQ"));
    help->setWordWrap(true);

    bsSkinButtonOK = new QPushButton(tr("确定"), this);
    bsSkinButtonOK->setObjectName(QStringLiteral("bsSkinButtonOK"));
    bsSkinButtonOK->setDefault(true);
    bsSkinButtonCancel = new QPushButton(tr("取消"), this);
    bsSkinButtonCancel->setObjectName(QStringLiteral("bsSkinButtonCancel"));
    connect(bsSkinButtonOK, &QPushButton::clicked, this, &TFormDomainAdd::bsSkinButtonOKClick);
    connect(bsSkinButtonCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bsSkinButtonOK);
    buttons->addWidget(bsSkinButtonCancel);
    auto* page = new QVBoxLayout(this);
    page->addWidget(group);
    page->addWidget(help);
    page->addLayout(buttons);
}

QLineEdit* TFormDomainAdd::AddEdit(QGridLayout* grid, const QString& label, const QString& name) {
    const int row = grid->rowCount();
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    grid->addWidget(new QLabel(label, this), row, 0, Qt::AlignRight);
    grid->addWidget(edit, row, 1, 1, 4);
    return edit;
}

// "申请时间：" with the date, then "开通时长：" with the years box and "年", on one row.
void TFormDomainAdd::AddExpireRow(QGridLayout* grid) {
    const int row = grid->rowCount();
    bsSkinEditApplyTime = new QLineEdit(this);
    bsSkinEditApplyTime->setObjectName(QStringLiteral("bsSkinEditApplyTime"));
    bsSkinEditApplyTime->setReadOnly(true);
    bsSkinComboBoxExpireTime = new QComboBox(this);
    bsSkinComboBoxExpireTime->setObjectName(QStringLiteral("bsSkinComboBoxExpireTime"));
    bsSkinComboBoxExpireTime->addItems(
        {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("5")});
    grid->addWidget(new QLabel(tr("申请时间："), this), row, 0, Qt::AlignRight);
    grid->addWidget(bsSkinEditApplyTime, row, 1);
    grid->addWidget(new QLabel(tr("开通时长："), this), row, 2, Qt::AlignRight);
    grid->addWidget(bsSkinComboBoxExpireTime, row, 3);
    grid->addWidget(new QLabel(tr("年"), this), row, 4);
}

void TFormDomainAdd::FormCreate() {
    bsSkinEditApplyTime->setText(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
    bsSkinComboBoxExpireTime->setCurrentIndex(0);
}

bool TFormDomainAdd::CheckFields() {
    for (QLineEdit* edit :
         {bsSkinEditWebsiteName, bsSkinEditDomain, bsSkinEditContacts, bsSkinEditMobile, bsSkinEditPhone,
          bsSkinEditCompanyAddress, bsSkinEditCompanyName, bsSkinEditLicenseNum, bsSkinEditQQ})
        edit->setText(edit->text().trimmed());
    const QList<QPair<QLineEdit*, QString>> required{
        {bsSkinEditWebsiteName, tr("请输入显示名！")},
        {bsSkinEditDomain, tr("请输入域名！")},
        {bsSkinEditContacts, tr("请输入联系人！")},
        {bsSkinEditMobile, tr("请输入手机号！")},
    };
    for (const auto& field : required) {
        if (field.first->text().isEmpty()) {
            MsgBox(field.second, MB_ICONINFORMATION);
            field.first->setFocus();
            return false;
        }
    }
    return true;
}

TDomainAddInfo TFormDomainAdd::Collect() const {
    TDomainAddInfo info;
    info.WebsiteName = bsSkinEditWebsiteName->text();
    info.Domain = bsSkinEditDomain->text();
    info.Contacts = bsSkinEditContacts->text();
    info.ExpireTime = bsSkinComboBoxExpireTime->currentText();
    info.Mobile = bsSkinEditMobile->text();
    info.Phone = bsSkinEditPhone->text();
    info.CompanyAddress = bsSkinEditCompanyAddress->text();
    info.CompanyName = bsSkinEditCompanyName->text();
    info.LicenseNum = bsSkinEditLicenseNum->text();
    info.QQ = bsSkinEditQQ->text();
    return info;
}

void TFormDomainAdd::bsSkinButtonOKClick() {
    if (CheckFields())
        Submit(Collect());
}

void TFormDomainAdd::Submit(const TDomainAddInfo& info) {
    TUserApi api;
    api.BaseUrl = m_apiRoot;
    api.Token = m_token;
    TParamList params{{QStringLiteral("json"), info.JsonText()}};
    QJsonValue result;
    bool accepted = false;
    try {
        const TWaitCursor waiting;
        api.Invoke(QStringLiteral("GeneralApi"), QStringLiteral("AddDomain"), result, params);
        accepted = TDomainAddInfo::Accepted(result);
    } catch (const TApiError& error) {
        // The failure's own text (possibly a whole answer) is for the log, not for the user; an
        // unconfigured service is said so, since no retry can help.
        if (error.Kind() == TApiError::akNotConfigured) {
            MsgBox(tr("认证信息添加失败！\n认证服务未配置，信息未发送。"), MB_ICONWARNING);
            return;
        }
    }
    if (!accepted) {
        MsgBox(tr("认证信息添加失败！"), MB_ICONWARNING);
        return;
    }
    MsgBox(tr("认证信息添加成功！"), MB_ICONINFORMATION);
    accept();
}
