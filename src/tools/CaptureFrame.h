// The capture's selection on screen (ShapeRect): a frame in the highlight colour over the picture,
// transparent inside, that takes the mouse for moving the selection and for drawing.
#pragma once

#include <QWidget>

class TCaptureFrame : public QWidget {
    Q_OBJECT
public:
    explicit TCaptureFrame(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};
