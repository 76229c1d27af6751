#pragma once

#include <QImage>
#include <QLabel>

#include "platform/Image.h"

namespace orbisto {

// Converts a decoded picture for drawing (keeps its transparency).
QImage toQImage(const Image& image);

// A picture control (a label showing an image) that reports clicks and double clicks.
// Pictures are drawn at their own size from the top-left corner and cut off at the control's edge.
class PictureBox : public QLabel {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);
    void setPicture(const Image& image);
    void setPicture(const QImage& image);
    void clearPicture();
    const QImage& picture() const { return picture_; }

signals:
    void clicked();
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QImage picture_;
};

} // namespace orbisto
