// The shared frame of the add-to-favorites and favorite dialogs.
#include "favorites/FavDialogBase.h"

#include "common/Dialogs.h"

#include <QBoxLayout>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

TFavDialogBase::TFavDialogBase(TFavorites& favorites, const QString& caption, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_favorites(favorites) {
    setWindowTitle(caption);
    setModal(true);
    setFixedSize(337, 151);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(24, 20, 24, 16);
    m_rows = new QFormLayout;
    m_rows->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    column->addLayout(m_rows);
    column->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_ok = new QPushButton(tr("添加"), this);
    m_ok->setObjectName(QStringLiteral("bsSkinButtonOK"));
    m_ok->setDefault(true);
    auto* cancel = new QPushButton(tr("取消"), this);
    cancel->setObjectName(QStringLiteral("bsSkinButtonCancel"));
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);
    column->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, &TFavDialogBase::OkClicked);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QLineEdit* TFavDialogBase::AddEditRow(const QString& label, const char* name) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QLatin1String(name));
    m_rows->addRow(label, edit);
    // The dialog opens with the keyboard in its first edit, not on "添加" (made before the edits).
    if (m_rows->rowCount() == 1)
        edit->setFocus();
    return edit;
}

void TFavDialogBase::OkClicked() {
    const TFavEditResult result = Save();
    if (result == TFavEditResult::Saved)
        accept();
    else
        ShowRefusal(result);
}

void TFavDialogBase::ShowRefusal(TFavEditResult result) {
    auto focusEdit = [this](const char* name) {
        if (auto* edit = findChild<QLineEdit*>(QLatin1String(name)))
            edit->setFocus();
    };
    switch (result) {
    case TFavEditResult::EmptyName:
        MsgBox(tr("请输入网页标题！"), MB_ICONINFORMATION);
        focusEdit("bsSkinEditWebsiteName");
        break;
    case TFavEditResult::EmptyUrl:
        MsgBox(tr("请输入网页地址！"), MB_ICONINFORMATION);
        focusEdit("bsSkinEditWebsiteUrl");
        break;
    case TFavEditResult::AddFailed:
        MsgBox(tr("添加收藏失败！"), MB_ICONWARNING);
        break;
    case TFavEditResult::UpdateFailed:
        MsgBox(tr("修改收藏失败！"), MB_ICONWARNING);
        break;
    case TFavEditResult::Saved:
        break;
    }
}
