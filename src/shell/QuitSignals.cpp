// SIGTERM/SIGINT through a self-pipe: the handler only writes one byte, the main thread reacts.
#include "shell/QuitSignals.h"

#include "common/Logging.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

const int HandledSignals[] = {SIGTERM, SIGINT};
int PipeFds[2] = {-1, -1};

// Async-signal-safe: write() only, errno preserved. A full pipe already holds a pending wake-up.
void OnSignal(int signalNumber) {
    const int savedErrno = errno;
    const char byte = static_cast<char>(signalNumber);
    [[maybe_unused]] const ssize_t written = write(PipeFds[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

TQuitSignals::TQuitSignals(QObject* parent) : QObject(parent) {
    Q_ASSERT(PipeFds[0] < 0);
    if (pipe2(PipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        WriteLog(QStringLiteral("Termination signals not handled: no pipe (%1)").arg(errno));
        PipeFds[0] = PipeFds[1] = -1;
        return;
    }
    m_notifier = new QSocketNotifier(PipeFds[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TQuitSignals::ReadPipe);

    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : HandledSignals) {
        sigaction(signalNumber, &action, nullptr);
    }
}

TQuitSignals::~TQuitSignals() {
    if (PipeFds[0] < 0) {
        return;
    }
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (const int signalNumber : HandledSignals) {
        sigaction(signalNumber, &action, nullptr);
    }
    delete m_notifier;
    close(PipeFds[0]);
    close(PipeFds[1]);
    PipeFds[0] = PipeFds[1] = -1;
}

void TQuitSignals::ReadPipe() {
    char bytes[16];
    ssize_t count;
    while ((count = read(PipeFds[0], bytes, sizeof bytes)) > 0) {
        for (ssize_t i = 0; i < count; ++i) {
            emit Received(bytes[i]);
        }
    }
}
