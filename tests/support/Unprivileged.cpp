// A check run in a child process without the super-user's rights.
#include "support/Unprivileged.h"

#include <QByteArray>
#include <sys/wait.h>
#include <unistd.h>

QString RunWithoutPrivileges(const std::function<QString()>& check) {
    if (geteuid() != 0)
        return check();
    int channel[2];
    if (pipe(channel) != 0)
        return QStringLiteral("pipe failed");
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        QString failure;
        if (setgid(65534) != 0 || setuid(65534) != 0)
            failure = QStringLiteral("cannot drop privileges");
        else
            failure = check();
        const QByteArray bytes = failure.toUtf8();
        const ssize_t written = write(channel[1], bytes.constData(), bytes.size());
        _exit(written == bytes.size() ? 0 : 1);
    }
    close(channel[1]);
    QByteArray answer;
    char buffer[512];
    ssize_t count;
    while ((count = read(channel[0], buffer, sizeof buffer)) > 0)
        answer.append(buffer, int(count));
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return QStringLiteral("the unprivileged check did not finish");
    return QString::fromUtf8(answer);
}
