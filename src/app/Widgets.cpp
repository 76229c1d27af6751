#include "app/Widgets.h"

#include <QMouseEvent>
#include <QPainter>

namespace orbisto {

QImage toQImage(const Image& image) {
    if (image.empty()) {
        return {};
    }
    QImage view(image.rgba.data(), image.width, image.height, image.width * 4, QImage::Format_RGBA8888);
    return view.copy(); // own the pixels: the decoded image may go away
}

PictureBox::PictureBox(QWidget* parent) : QLabel(parent) { setAlignment(Qt::AlignLeft | Qt::AlignTop); }

void PictureBox::setPicture(const Image& image) { setPicture(toQImage(image)); }

void PictureBox::setPicture(const QImage& image) {
    picture_ = image;
    setPixmap(QPixmap::fromImage(picture_));
}

void PictureBox::clearPicture() {
    picture_ = QImage();
    clear();
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    QLabel::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) {
        emit clicked();
    }
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event) {
    QLabel::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

} // namespace orbisto
