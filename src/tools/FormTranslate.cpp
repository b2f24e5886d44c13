// The translator window (see FormTranslate.h); the requests live in TTranslateRun.
#include "tools/FormTranslate.h"

#include "BuildConfig.h"
#include "common/Dialogs.h"
#include "tools/CommonThread.h"
#include "tools/ToolWindow.h"
#include "tools/TranslateRun.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>
#include <memory>

namespace {
QFont HeadingFont(int pixels) {
    QFont font(QStringLiteral("黑体"));
    font.setPixelSize(pixels);
    font.setBold(true);
    return font;
}

// The service's mark: its name drawn in the service's red.
QPixmap ServiceLogo(const QString& name) {
    QPixmap logo(153, 25);
    logo.fill(Qt::transparent);
    QPainter painter(&logo);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont font = HeadingFont(18);
    painter.setFont(font);
    painter.setPen(QColor(0xE0, 0x2B, 0x2B));
    painter.drawText(logo.rect(), Qt::AlignLeft | Qt::AlignVCenter, name);
    return logo;
}

QPlainTextEdit* Memo(QWidget* parent, const char* name, int height) {
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(QLatin1String(name));
    memo->setFixedSize(430, height);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return memo;
}
QString NoServiceText() {
    return QCoreApplication::translate("TFormTranslate",
                                       "未配置翻译服务，无法翻译。请在“选项”中填写“翻译服务地址”（LibreTranslate "
                                       "接口的服务器），或设置环境变量 QUELLON_TRANSLATE_SERVER。");
}
} // namespace

TFormTranslate::TFormTranslate(QWidget* parent, const QString& endpoint)
    : TFormTranslate(parent, endpoint.trimmed().isEmpty()
                                 ? TTranslateService{}
                                 : TTranslateService{TTranslateService::BuiltIn, endpoint.trimmed(), QString()}) {}

TFormTranslate::TFormTranslate(QWidget* parent, const TTranslateService& service)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      m_service(service), m_endpoint(service.Address),
      m_message([](const QString& text) { MsgBox(text, MB_ICONINFORMATION); }) {
    setObjectName(QStringLiteral("TFormTranslate"));
    setWindowTitle(tr("翻译文字"));
    BuildLayout();
    if (m_service.Kind == TTranslateService::None)
        bsSkinMemoResult->setPlaceholderText(NoServiceText());
    if (m_service.Kind == TTranslateService::Server)
        FetchLanguages();
    for (QWidget* control : {static_cast<QWidget*>(bsSkinMemoText), static_cast<QWidget*>(bsSkinMemoResult),
                             static_cast<QWidget*>(bsSkinButtonTranslate)})
        control->installEventFilter(this);
    connect(bsSkinButtonTranslate, &QPushButton::clicked, this, &TFormTranslate::bsSkinButtonTranslateClick);
}

TFormTranslate::~TFormTranslate() {
    if (m_run)
        m_run->Abort();
}

void TFormTranslate::BuildLayout() {
    setFixedSize(497, 347);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(33, 8, 34, 10);
    layout->setSpacing(6);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(153, 25);
    Image1->setScaledContents(true);
    Image1->setPixmap(ServiceLogo(m_service.Kind == TTranslateService::Server ? tr("翻译服务") : tr("有道翻译")));
    layout->addWidget(Image1);

    Label1 = new QLabel(tr("翻译文字"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(HeadingFont(21));
    layout->addWidget(Label1);
    bsSkinMemoText = Memo(this, "bsSkinMemoText", 89);
    layout->addWidget(bsSkinMemoText);

    bsSkinButtonTranslate = new QPushButton(tr("翻译(&T)"), this);
    bsSkinButtonTranslate->setObjectName(QStringLiteral("bsSkinButtonTranslate"));
    bsSkinButtonTranslate->setAutoDefault(false);
    auto* buttonRow = new QHBoxLayout;
    if (m_service.Kind == TTranslateService::Server)
        AddLanguageChoice(buttonRow);
    buttonRow->addStretch(1);
    buttonRow->addWidget(bsSkinButtonTranslate);
    layout->addLayout(buttonRow);

    Label2 = new QLabel(tr("翻译结果"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setFont(HeadingFont(16));
    layout->addWidget(Label2);
    bsSkinMemoResult = Memo(this, "bsSkinMemoResult", 97);
    bsSkinMemoResult->setReadOnly(true);
    layout->addWidget(bsSkinMemoResult);
    layout->addStretch();
}

void TFormTranslate::bsSkinButtonTranslateClick() {
    const QString text = bsSkinMemoText->toPlainText().trimmed();
    bsSkinMemoText->setPlainText(text);
    if (text.isEmpty()) {
        m_message(tr("请输入要翻译的文字！"));
        bsSkinMemoText->setFocus();
        return;
    }
    if (m_service.Kind == TTranslateService::None) {
        m_message(NoServiceText());
        return;
    }
    bsSkinMemoResult->clear();
    bsSkinMemoResult->setPlaceholderText(QString());
    m_failure.clear();
    bsSkinButtonTranslate->setEnabled(false);
    StartRun(text.split(QLatin1Char('\n')));
}

void TFormTranslate::StartRun(const QStringList& lines) {
    // The run reports by queued signals: answers that arrive after the window is gone are dropped
    // with its connections, and the run is deleted on this thread once its worker has ended.
    const QString source = ComboSource ? ComboSource->currentData().toString() : QString();
    const QString target = ComboTarget ? ComboTarget->currentData().toString() : QString();
    auto* run = new TTranslateRun(m_service, source, target, lines);
    connect(run, &TTranslateRun::Translated, this, &TFormTranslate::AppendResult);
    connect(run, &TTranslateRun::LineFailed, this, [this](const QString& reason) { m_failure = reason; });
    connect(run, &TTranslateRun::Finished, this, &TFormTranslate::RunFinished);
    auto* thread = new TCommonThread;
    thread->Synchronized = false;
    thread->Count = 1;
    thread->Interval = 0;
    thread->SetOnExecute([run] { run->Execute(); });
    connect(thread, &QThread::finished, run, &QObject::deleteLater);
    m_run = run;
    thread->start();
}

void TFormTranslate::AppendResult(const QString& text) {
    bsSkinMemoResult->appendPlainText(text);
}

void TFormTranslate::RunFinished() {
    bsSkinButtonTranslate->setEnabled(true);
    // Say why nothing came back instead of leaving the output silently empty.
    if (bsSkinMemoResult->toPlainText().isEmpty() && !m_failure.isEmpty())
        bsSkinMemoResult->setPlaceholderText(tr("翻译服务没有给出译文：%1").arg(m_failure));
}

void TFormTranslate::AddLanguageChoice(QBoxLayout* row) {
    ComboSource = new QComboBox(this);
    ComboSource->setObjectName(QStringLiteral("ComboSource"));
    ComboTarget = new QComboBox(this);
    ComboTarget->setObjectName(QStringLiteral("ComboTarget"));
    for (QComboBox* combo : {ComboSource, ComboTarget}) {
        combo->setMinimumWidth(120);
        combo->setMaxVisibleItems(20);
    }
    row->addWidget(ComboSource);
    row->addWidget(new QLabel(QStringLiteral("→"), this));
    row->addWidget(ComboTarget);
    ShowLanguages(BuiltInTranslateLanguages());
}

void TFormTranslate::FetchLanguages() {
    // The list arrives through this window's event queue; a window closed meanwhile drops it with
    // its connection, and the thread deletes itself when done.
    auto languages = std::make_shared<QList<TTranslateLanguage>>();
    QThread* worker =
        QThread::create([service = m_service, languages] { *languages = FetchTranslateLanguages(service); });
    worker->setObjectName(QStringLiteral("TranslateLanguages"));
    connect(worker, &QThread::finished, this, [this, languages] { ShowLanguages(*languages); });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
}

void TFormTranslate::ShowLanguages(const QList<TTranslateLanguage>& languages) {
    const QString source = ComboSource->currentData().toString();
    const QString target = ComboTarget->currentData().toString();
    ComboSource->clear();
    ComboTarget->clear();
    ComboSource->addItem(tr("自动检测"), QStringLiteral("auto"));
    for (const TTranslateLanguage& language : languages) {
        ComboSource->addItem(language.Name, language.Code);
        ComboTarget->addItem(language.Name, language.Code);
    }
    // A choice the user made meanwhile stays when the new list has it.
    ComboSource->setCurrentIndex(qMax(0, ComboSource->findData(source)));
    const int kept = ComboTarget->findData(target);
    ComboTarget->setCurrentIndex(kept >= 0 ? kept : ChineseLanguageIndex(languages));
}

bool TFormTranslate::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        auto* memo = qobject_cast<QPlainTextEdit*>(watched);
        if (memo && key->key() == Qt::Key_A && key->modifiers() == Qt::ControlModifier) {
            memo->selectAll();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            close();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFormTranslate::keyPressEvent(QKeyEvent* event) {
    // Esc closes the window when it is released, not when it is pressed.
    if (event->key() == Qt::Key_Escape)
        return event->accept();
    QDialog::keyPressEvent(event);
}

void TFormTranslate::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QDialog::keyReleaseEvent(event);
}

void TFormTranslate::showEvent(QShowEvent* event) {
    for (QLabel* label : findChildren<QLabel*>())
        label->setAutoFillBackground(false);
    QDialog::showEvent(event);
}

void ShowTranslator(QWidget* button) {
    static QPointer<TFormTranslate> open;
    if (open)
        return;
    open = new TFormTranslate(button ? button->window() : nullptr,
                              ResolveTranslateService(TranslateConfig(), QString::fromUtf8(BuildConfig::TranslateUrl)));
    ShowToolWindow(open, button);
}
