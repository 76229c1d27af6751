#include "app/CoreText.h"

#include <QByteArray>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QModelIndex>
#include <QVariant>

namespace orbisto {

namespace {

// The property under which a label keeps them.
constexpr const char* kCoreTextProperty = "orbistoCoreText";

QByteArray bytesOf(std::string_view text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

std::string textOf(const QVariant& data) {
    const QByteArray bytes = data.toByteArray();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace

QString shownText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string typedText(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QListWidgetItem* addCoreItem(QListWidget& list, std::string_view text) {
    auto* item = new QListWidgetItem(shownText(text));
    item->setData(kCoreTextRole, bytesOf(text));
    list.addItem(item);
    return item;
}

void addCoreItem(QComboBox& box, std::string_view text) {
    box.addItem(shownText(text), bytesOf(text));
}

std::string coreText(const QListWidgetItem& item) {
    return textOf(item.data(kCoreTextRole));
}

std::string coreText(const QComboBox& box, int index) {
    return textOf(box.itemData(index, kCoreTextRole));
}

std::string coreText(const QModelIndex& index) {
    return textOf(index.data(kCoreTextRole));
}

int findCoreItem(const QComboBox& box, std::string_view text) {
    // Qt's findData compares QVariants, and a QByteArray compares byte for byte.
    return box.findData(bytesOf(text), kCoreTextRole);
}

void showCoreText(QLabel& label, std::string_view text) {
    label.setText(shownText(text));
    label.setProperty(kCoreTextProperty, bytesOf(text));
}

std::string coreText(const QLabel& label) {
    return textOf(label.property(kCoreTextProperty));
}

} // namespace orbisto
