// The find window.
#include "pagecommands/FormFindWebPage.h"

#include "common/Dialogs.h"
#include "common/Messages.h"
#include "pagecommands/FindRequest.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFormFindWebPage::TFormFindWebPage(QWidget* mainWindow, const QString& text)
    : QWidget(mainWindow, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), m_mainWindow(mainWindow) {
    setObjectName(QStringLiteral("FormFindWebPage"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("查找"));

    m_text = new QLineEdit(text.left(TFindRequest::MaxInput), this);
    m_text->setObjectName(QStringLiteral("bsSkinEditText"));
    m_text->setMaxLength(TFindRequest::MaxInput);
    m_matchCase = new QCheckBox(tr("区分大小写"), this);
    m_matchCase->setObjectName(QStringLiteral("bsSkinCheckRadioBoxMatchCase"));
    m_matches = new QLabel(this);
    m_matches->setObjectName(QStringLiteral("LabelMatches"));
    // Room for the longest count the label shows, so that no figure is cut.
    m_matches->setMinimumWidth(m_matches->fontMetrics().horizontalAdvance(tr("第 %1 个，共 %2 个").arg(9999).arg(9999)));
    m_previous = new QPushButton(tr("上一个"), this);
    m_previous->setObjectName(QStringLiteral("bsSkinButtonPrevious"));
    m_next = new QPushButton(tr("下一个"), this);
    m_next->setObjectName(QStringLiteral("bsSkinButtonNext"));
    m_next->setDefault(true);

    auto* textRow = new QHBoxLayout;
    textRow->addWidget(new QLabel(tr("查找："), this));
    textRow->addWidget(m_text, 1);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(m_matchCase);
    buttonRow->addWidget(m_matches);
    buttonRow->addStretch(1);
    buttonRow->addWidget(m_previous);
    buttonRow->addWidget(m_next);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(textRow);
    layout->addLayout(buttonRow);
    // The window takes the size its texts need (at any font and scale), at least 319 wide.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_text->setMinimumWidth(319 - 80);
    // Its size is known before it is shown: the main window places it by its width.
    adjustSize();

    connect(m_next, &QPushButton::clicked, this, &TFormFindWebPage::bsSkinButtonNextClick);
    connect(m_previous, &QPushButton::clicked, this, &TFormFindWebPage::bsSkinButtonPreviousClick);
    // Enter in the edit is the default button "下一个".
    connect(m_text, &QLineEdit::returnPressed, this, &TFormFindWebPage::bsSkinButtonNextClick);
}

void TFormFindWebPage::PostRequest(bool forward) {
    const QString text = m_text->text().trimmed();
    m_text->setText(text);
    if (text.isEmpty()) {
        MsgBox(tr("请输入查找的内容！"), MB_ICONINFORMATION);
        m_text->setFocus();
        return;
    }
    if (!m_mainWindow)
        return;
    // Posted, so the request is handled after this handler returns; the window stays open.
    QCoreApplication::postEvent(
        m_mainWindow, new TRecordMessage<TFindRequest>(
                          WM_FIND_IN_PAGE, TFindRequest::Make(text, m_matchCase->isChecked(), forward)));
}

void TFormFindWebPage::ShowMatches(int active, int total) {
    if (active <= 0 || total == 0)
        m_matches->setText(tr("未找到"));
    else if (total < 0)
        m_matches->clear();
    else
        m_matches->setText(tr("第 %1 个，共 %2 个").arg(active).arg(total));
}

void TFormFindWebPage::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void TFormFindWebPage::closeEvent(QCloseEvent* event) {
    if (m_mainWindow)
        QCoreApplication::postEvent(m_mainWindow, new TMessageEvent(WM_FIND_CLOSED));
    QWidget::closeEvent(event);
}
