#include "app/Widgets.h"

#include "app/CoreText.h"

#include <QAbstractListModel>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace orbisto {

QLabel* label(QWidget* parent, const char* name, const char* text, int left, int top) {
    auto* result = named(new QLabel(QString::fromUtf8(text), parent), name);
    result->move(left, top);
    result->adjustSize();
    return result;
}

QImage toQImage(const Image& image) {
    if (image.empty()) {
        return {};
    }
    const QImage view(image.rgba.data(), image.width, image.height, image.width * 4, QImage::Format_RGBA8888);
    // Converted into pixels of its own (the decoded image may go away), in the format a pixmap keeps,
    // so that the label's pixmap shares them instead of holding a second, converted copy.
    bool opaque = true;
    for (std::size_t alpha = 3; alpha < image.rgba.size() && opaque; alpha += 4) {
        opaque = image.rgba[alpha] == 0xff;
    }
    return view.convertToFormat(opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
}

PictureBox::PictureBox(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void PictureBox::setPicture(const Image& image) {
    setPicture(toQImage(image));
}

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

PickList::PickList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
}

template <typename Handling> void PickList::byPlayer(Handling handling) {
    if (inputDepth_ > 0) { // a double click hands on to the press handling
        handling();
        return;
    }
    const QPersistentModelIndex before = selectionModel()->selectedIndexes().value(0);
    ++inputDepth_;
    handling();
    --inputDepth_;
    const QModelIndex after = selectionModel()->selectedIndexes().value(0);
    if (after.isValid() && after != before) {
        emit picked();
    }
}

void PickList::focusInEvent(QFocusEvent* event) {
    // Qt makes the first row current when a list without one gets the focus by the keyboard or when
    // its window becomes active: that row is not the player's, so the list stays without one.
    const bool hadCurrent = currentIndex().isValid();
    QListWidget::focusInEvent(event);
    if (!hadCurrent && currentIndex().isValid() && selectionModel()->selectedIndexes().isEmpty()) {
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }
}

void PickList::keyPressEvent(QKeyEvent* event) {
    byPlayer([this, event] { QListWidget::keyPressEvent(event); });
}

void PickList::inputMethodEvent(QInputMethodEvent* event) {
    byPlayer([this, event] { QListWidget::inputMethodEvent(event); });
}

void PickList::mousePressEvent(QMouseEvent* event) {
    byPlayer([this, event] { QListWidget::mousePressEvent(event); });
}

void PickList::mouseMoveEvent(QMouseEvent* event) {
    byPlayer([this, event] { QListWidget::mouseMoveEvent(event); });
}

void PickList::mouseReleaseEvent(QMouseEvent* event) {
    byPlayer([this, event] { QListWidget::mouseReleaseEvent(event); });
}

void PickList::mouseDoubleClickEvent(QMouseEvent* event) {
    byPlayer([this, event] { QListWidget::mouseDoubleClickEvent(event); });
}

QItemSelectionModel::SelectionFlags PickList::selectionCommand(const QModelIndex& index, const QEvent* event) const {
    const QItemSelectionModel::SelectionFlags command = QListWidget::selectionCommand(index, event);
    return command.testFlag(QItemSelectionModel::Deselect) ? QItemSelectionModel::NoUpdate : command;
}

QListWidgetItem* pickedItem(const QListWidget& list) {
    const QList<QListWidgetItem*> selected = list.selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

// The texts of a hidden list, each turned into a QString only when asked for.
class HiddenList::TextModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(texts.size());
    }
    // The caption, and the bytes themselves as the data lists made by addCoreItem keep.
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= rowCount()) {
            return {};
        }
        const std::string& text = texts[static_cast<std::size_t>(index.row())];
        if (role == Qt::DisplayRole) {
            return shownText(text);
        }
        if (role == kCoreTextRole) {
            return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
        }
        return {};
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
        list.append(shownText(text));
    }
    return list;
}

const std::vector<std::string>& HiddenList::texts() const {
    return model_->texts;
}

void HiddenList::setTexts(std::vector<std::string> texts) {
    if (texts != model_->texts) {
        model_->reset(std::move(texts));
    }
}

} // namespace orbisto
