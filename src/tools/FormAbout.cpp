// The About box.
#include "tools/FormAbout.h"

#include "BuildConfig.h"
#include "common/AppPaths.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QLabel* NamedLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    return label;
}
} // namespace

TFormAbout::TFormAbout(const QPixmap& logo, const QString& siteRoot, QWidget* parent)
    : QDialog(parent), m_siteRoot(siteRoot) {
    setObjectName(QStringLiteral("FormAbout"));
    setWindowTitle(tr("关于"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);

    ImageLogo = NamedLabel(this, "ImageLogo");
    ImageLogo->setFixedSize(48, 48);
    ImageLogo->setAlignment(Qt::AlignCenter);
    ImageLogo->setPixmap(logo);
    bsSkinLabelTitle = NamedLabel(this, "bsSkinLabelTitle");
    QFont titleFont = bsSkinLabelTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSize(titleFont.pointSize() + 4);
    bsSkinLabelTitle->setFont(titleFont);
    bsSkinLabelVersion = NamedLabel(this, "bsSkinLabelVersion");
    bsSkinLinkLabel = NamedLabel(this, "bsSkinLinkLabel");
    bsSkinLinkLabel->setCursor(Qt::PointingHandCursor);
    // The link is followed by the browser itself, never by the desktop's default browser.
    bsSkinLinkLabel->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(bsSkinLinkLabel, &QLabel::linkActivated, this, &TFormAbout::bsSkinLinkLabelClick);
    LabelCompany = NamedLabel(this, "LabelCompany");
    // Where this user's data file lives: beside the program, or in the user's data folder when
    // the program is installed for everyone.
    LabelDataFolder = NamedLabel(this, "LabelDataFolder");
    LabelDataFolder->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* ok = new QPushButton(tr("确定"), this);
    ok->setObjectName(QStringLiteral("bsSkinButtonOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    for (QLabel* label :
         {bsSkinLabelTitle, bsSkinLabelVersion, bsSkinLinkLabel, LabelCompany, LabelDataFolder})
        texts->addWidget(label);
    auto* top = new QHBoxLayout;
    top->addWidget(ImageLogo, 0, Qt::AlignTop);
    top->addLayout(texts, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    auto* page = new QVBoxLayout(this);
    page->addLayout(top);
    page->addLayout(buttons);
}

void TFormAbout::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TFormAbout::FormShow() {
    const QString product = QString::fromUtf8(BuildConfig::ProductName);
    setWindowTitle(tr("关于") + product);
    bsSkinLabelTitle->setText(product);
    bsSkinLabelVersion->setText(tr("版本号 V%1").arg(QLatin1String(BuildConfig::Version)));
    bsSkinLinkLabel->setText(QStringLiteral("<a href=\"%1\">%1</a>").arg(m_siteRoot.toHtmlEscaped()));
    LabelCompany->setText(QString::fromUtf8(BuildConfig::VendorName));
    LabelDataFolder->setText(tr("数据文件夹：%1").arg(DataDir()));
}

void TFormAbout::bsSkinLinkLabelClick() {
    emit siteRequested(m_siteRoot);
    accept();
}
