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
    // Frames drawn since the start; the busy indicator shows progress by moving.
    int Frames() const { return m_frames; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer* m_timer;
    int m_angle = 0;
    int m_frames = 0;
};
