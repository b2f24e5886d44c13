// TFormClearCache: the check boxes, the worker run, the busy and done panels, the stop question.
#include "maintenance/FormClearCache.h"

#include "common/Dialogs.h"
#include "common/Messages.h"
#include "common/LoadingSpinner.h"
#include "options/OptionRules.h"
#include "storage/Config.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

TFormClearCache::TFormClearCache(THistory* history, TDownloadQueue* downloads, TConfig& config,
                                 std::function<void(int)> onCleaned, QWidget* parent)
    : QDialog(parent), m_config(config), m_history(history),
      m_downloads(downloads), m_onCleaned(std::move(onCleaned)) {
    setObjectName(QStringLiteral("TFormClearCache"));
    setWindowTitle(tr("清理上网痕迹"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setAttribute(Qt::WA_StyledBackground, true);
    setStyleSheet(QStringLiteral("#TFormClearCache, #bsSkinPanelPrompt { background: #ffffff; }"));
    BuildLayout();
    // 400 x 257, or what the captions need at a larger font.
    setFixedSize(sizeHint().expandedTo(QSize(400, 257)));
    m_panelPrompt->setGeometry(rect());
}

TFormClearCache::~TFormClearCache() {
    StopWorker();
}

QCheckBox* TFormClearCache::KindBox(const char* name, const QString& caption, int kind) {
    auto* box = new QCheckBox(caption, m_panelControl);
    box->setObjectName(QLatin1String(name));
    m_kindBoxes.insert(box, kind);
    // The kinds last ticked are what "clean at exit" clears.
    connect(box, &QCheckBox::toggled, this, [this] { StoreCleanKinds(m_config, TickedKinds()); });
    return box;
}

void TFormClearCache::BuildLayout() {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(24, 16, 24, 16);
    m_panelControl = new QWidget(this);
    m_panelControl->setObjectName(QStringLiteral("PanelControl"));
    auto* boxes = new QVBoxLayout(m_panelControl);
    boxes->setContentsMargins(0, 0, 0, 0);
    const int stored = StoredCleanKinds(m_config);
    for (QCheckBox* box :
         {KindBox("bsSkinCheckRadioBoxBrowserPage", tr("浏览全部历史（包含历史、网页回收站）"), ckHistory),
          KindBox("bsSkinCheckRadioBoxDownloadLog", tr("下载全部记录"), ckDownloads),
          KindBox("bsSkinCheckRadioBoxCache", tr("浏览器缓存的图片和文件"), ckCache),
          KindBox("bsSkinCheckRadioBoxAddressHistory", tr("地址栏下拉全部列表"), ckAddressList),
          KindBox("bsSkinCheckRadioBoxCookie", tr("Cookies和其他网站数据（建议不清理）"), ckCookies)}) {
        const QSignalBlocker block(box);
        // Cookies and site data are never ticked on opening: logging out of every site is chosen
        // each time, not carried over from an earlier cleaning.
        const int kind = m_kindBoxes.value(box);
        box->setChecked(kind != ckCookies && (stored & kind));
        boxes->addWidget(box);
    }
    m_exitBox = new QCheckBox(tr("退出浏览器时全部清理勾选痕迹"), m_panelControl);
    m_exitBox->setObjectName(QStringLiteral("bsSkinCheckRadioBoxExitClearCache"));
    connect(m_exitBox, &QCheckBox::toggled, this, [this](bool on) {
        StoreFlag(m_config, TConfigKey::ClearTracesOnExit, on);
        StoreCleanKinds(m_config, TickedKinds());
    });
    boxes->addSpacing(6);
    boxes->addWidget(m_exitBox);
    column->addWidget(m_panelControl);
    column->addStretch(1);

    auto* buttons = new QHBoxLayout;
    m_panelLoading = new QWidget(this);
    m_panelLoading->setObjectName(QStringLiteral("PanelLoading"));
    auto* loading = new QHBoxLayout(m_panelLoading);
    loading->setContentsMargins(0, 0, 0, 0);
    m_spinner = new TLoadingSpinner(m_panelLoading);
    m_spinner->setObjectName(QStringLiteral("ImageLoading"));
    m_spinner->setFixedSize(48, 48);
    loading->addWidget(m_spinner);
    loading->addWidget(new QLabel(tr("正在清理，请稍候..."), m_panelLoading));
    m_panelLoading->hide();
    buttons->addWidget(m_panelLoading);
    buttons->addStretch(1);
    m_buttonClear = new QPushButton(tr("立即清理"), this);
    m_buttonClear->setObjectName(QStringLiteral("bsSkinButtonClear"));
    // Enter never clears: the cleaner opens from a key that also edits text, and an Enter meant
    // for that text would wipe the traces. Neither button is pressed by Enter.
    m_buttonClear->setAutoDefault(false);
    auto* close = new QPushButton(tr("关闭"), this);
    close->setObjectName(QStringLiteral("bsSkinButtonClose1"));
    close->setAutoDefault(false);
    buttons->addWidget(m_buttonClear);
    buttons->addWidget(close);
    column->addLayout(buttons);
    connect(m_buttonClear, &QPushButton::clicked, this, &TFormClearCache::StartCleaning);
    connect(close, &QPushButton::clicked, this, &QDialog::close);

    m_panelPrompt = new QWidget(this);
    m_panelPrompt->setObjectName(QStringLiteral("bsSkinPanelPrompt"));
    m_panelPrompt->setAttribute(Qt::WA_StyledBackground, true);
    auto* prompt = new QVBoxLayout(m_panelPrompt);
    prompt->addStretch(1);
    auto* done = new QLabel(tr("缓存清理完成！"), m_panelPrompt);
    done->setAlignment(Qt::AlignCenter);
    prompt->addWidget(done);
    auto* close2 = new QPushButton(tr("关闭"), m_panelPrompt);
    close2->setObjectName(QStringLiteral("bsSkinButtonClose2"));
    connect(close2, &QPushButton::clicked, this, &QDialog::close);
    prompt->addWidget(close2, 0, Qt::AlignHCenter);
    prompt->addStretch(1);
    m_panelPrompt->setGeometry(rect());
    m_panelPrompt->raise();
    m_panelPrompt->hide();
}

void TFormClearCache::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    const QSignalBlocker block(m_exitBox);
    m_exitBox->setChecked(m_config.ClearTracesOnExit);
    // The keyboard starts on the list of kinds, not on a button.
    if (QCheckBox* first = m_panelControl->findChild<QCheckBox*>())
        first->setFocus(Qt::OtherFocusReason);
}

int TFormClearCache::TickedKinds() const {
    int kinds = 0;
    for (auto it = m_kindBoxes.cbegin(); it != m_kindBoxes.cend(); ++it) {
        if (it.key()->isChecked())
            kinds |= it.value();
    }
    return kinds;
}

void TFormClearCache::StartCleaning() {
    if (!m_cleaningDone)
        return;
    StopWorker(); // the previous run's thread, already finished
    m_runningKinds = TickedKinds();
    m_stopRequested = false;
    m_cleaningDone = false;
    SetBusy(true);
    if (ClearLiveStores)
        ClearLiveStores(m_runningKinds);
    auto cleaner = std::make_shared<TCacheCleaner>(m_history, m_downloads, Folders);
    cleaner->OnStep = OnStep;
    const int kinds = m_runningKinds;
    m_worker.reset(QThread::create([this, cleaner, kinds] {
        const TCleanReport report = cleaner->Clean(kinds, m_stopRequested);
        // A stopped run posts nothing: the window is closing.
        if (!report.Stopped)
            QCoreApplication::postEvent(this, new TRecordMessage<TCleanReport>(WM_CACHE_CLEARED, report));
    }));
    m_worker->start();
}

void TFormClearCache::SetBusy(bool busy) {
    m_panelLoading->setVisible(busy);
    m_spinner->SetRunning(busy);
    m_panelControl->setEnabled(!busy);
    m_buttonClear->setEnabled(!busy);
}

void TFormClearCache::customEvent(QEvent* event) {
    if (static_cast<int>(event->type()) != WM_CACHE_CLEARED) {
        QDialog::customEvent(event);
        return;
    }
    if (auto* message = dynamic_cast<TRecordMessage<TCleanReport>*>(event))
        CleaningFinished(message->Record);
}

void TFormClearCache::CleaningFinished(const TCleanReport& report) {
    m_panelPrompt->show();
    m_cleaningDone = true;
    // A stop question asked while the last kind was being cleared has no answer to wait for.
    if (m_question)
        m_question->done(QMessageBox::No);
    SetBusy(false);
    if (m_onCleaned)
        m_onCleaned(m_runningKinds);
    if (!report.Failures.isEmpty()) {
        // What could not be removed is said, not passed over: the user believes it gone otherwise.
        QStringList shown = report.Failures.mid(0, 10);
        if (report.Failures.size() > shown.size())
            shown.append(tr("……共 %1 项").arg(report.Failures.size()));
        MsgBox(tr("以下内容未能清除：\n%1").arg(shown.join(QLatin1Char('\n'))), MB_OK | MB_ICONWARNING);
    }
    close();
}

bool TFormClearCache::AskStop() {
    if (m_cleaningDone)
        return true;
    QMessageBox question(QMessageBox::Question, QStringLiteral("Quellon"), tr("清理未完成，确定要停止吗？"),
                         QMessageBox::Yes | QMessageBox::No, this);
    question.setDefaultButton(QMessageBox::Yes);
    m_question = &question;
    const int answer = question.exec();
    m_question = nullptr;
    if (m_cleaningDone)
        return true;
    if (answer != QMessageBox::Yes)
        return false;
    m_stopRequested = true;
    return true;
}

void TFormClearCache::closeEvent(QCloseEvent* event) {
    if (AskStop())
        event->accept();
    else
        event->ignore();
}

void TFormClearCache::reject() {
    // Esc and the cancel buttons ask the same question as closing.
    if (AskStop())
        QDialog::reject();
}

void TFormClearCache::StopWorker() {
    if (!m_worker)
        return;
    m_stopRequested = true;
    m_worker->wait();
    m_worker.reset();
}
