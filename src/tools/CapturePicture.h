// The capture's frozen picture on screen (ImageScreen): paints the part of the canvas's picture that
// needs painting, nothing else.
#pragma once

#include <QWidget>

class QImage;

class TCapturePicture : public QWidget {
    Q_OBJECT
public:
    // The picture must outlive the widget; it may change between paints.
    TCapturePicture(const QImage* picture, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const QImage* m_picture;
};
