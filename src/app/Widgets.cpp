#include "app/Widgets.h"

#include <QMouseEvent>
#include <QPainter>
#include <QAbstractListModel>

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

// The texts of a hidden list, each turned into a QString only when asked for.
class HiddenList::TextModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(texts.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) {
            return {};
        }
        return QString::fromStdString(texts[static_cast<std::size_t>(index.row())]);
    }
    void reset(std::vector<std::string> replacement) {
        beginResetModel();
        texts = std::move(replacement);
        endResetModel();
    }

    std::vector<std::string> texts;
};

HiddenList::HiddenList(QWidget* parent) : QListView(parent), model_(new TextModel(this)) {
    setModel(model_);
}

int HiddenList::count() const {
    return model_->rowCount();
}

QStringList HiddenList::items() const {
    QStringList list;
    for (const std::string& text : model_->texts) {
        list.append(QString::fromStdString(text));
    }
    return list;
}

const std::vector<std::string>& HiddenList::texts() const {
    return model_->texts;
}

void HiddenList::setTexts(std::vector<std::string> texts) {
    model_->reset(std::move(texts));
}

} // namespace orbisto
