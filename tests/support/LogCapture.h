// Collects the log lines (Qt messages, any thread) written while it exists; the handler it
// replaced is back once it goes. One capture at a time.
#pragma once

#include <QMutex>
#include <QMutexLocker>
#include <QString>
#include <QStringList>
#include <QtGlobal>

class TLogCapture {
public:
    TLogCapture() {
        s_current = this;
        m_previous = qInstallMessageHandler(&TLogCapture::Handle);
    }
    ~TLogCapture() {
        qInstallMessageHandler(m_previous);
        s_current = nullptr;
    }
    TLogCapture(const TLogCapture&) = delete;
    TLogCapture& operator=(const TLogCapture&) = delete;

    QStringList Lines() const {
        QMutexLocker lock(&m_lock);
        return m_lines;
    }
    // The logging category of each line, in the same order.
    QStringList Categories() const {
        QMutexLocker lock(&m_lock);
        return m_categories;
    }
    QString Text() const { return Lines().join(QLatin1Char('\n')); }
    int CountContaining(const QString& text) const { return Lines().filter(text).size(); }

private:
    static void Handle(QtMsgType, const QMessageLogContext& context, const QString& text) {
        if (TLogCapture* capture = s_current) {
            QMutexLocker lock(&capture->m_lock);
            capture->m_lines.append(text);
            capture->m_categories.append(QString::fromLatin1(context.category));
        }
    }

    static inline TLogCapture* s_current = nullptr;
    QtMessageHandler m_previous = nullptr;
    mutable QMutex m_lock;
    QStringList m_lines;
    QStringList m_categories;
};
