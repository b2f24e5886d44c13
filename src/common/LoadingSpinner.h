// The animated busy picture of the history manager and the cache cleaner: an arc turning while
// running, drawn at any size.
#pragma once

#include <QWidget>

class QTimer;

class TLoadingSpinner final : public QWidget {
    Q_OBJECT
public:
    explicit TLoadingSpinner(QWidget* parent = nullptr);

    void SetRunning(bool running);
    bool Running() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer* m_timer;
    int m_angle = 0;
};
