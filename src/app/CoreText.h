#pragma once

#include <QString>
#include <string>
#include <string_view>

class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QModelIndex;

namespace orbisto {

// The core's text is UTF-8; on Linux a file name in it may be any bytes. A window shows such text
// decoded as UTF-8 (a byte that is not UTF-8 shows as U+FFFD), and keeps the bytes themselves as
// the data of the item or label that shows them, so that a pick, an install, a preview or a tag
// goes on with the real name, never with the caption.

// Where an item keeps the core's bytes (a QByteArray), beside the caption it shows.
inline constexpr int kCoreTextRole = Qt::UserRole;

// Text for showing: the core's text decoded as UTF-8.
QString shownText(std::string_view text);
// Text the user typed or a chooser returned, as the core's text (UTF-8).
std::string typedText(const QString& text);

// Adds an item that shows `text` and keeps its bytes.
QListWidgetItem* addCoreItem(QListWidget& list, std::string_view text);
void addCoreItem(QComboBox& box, std::string_view text);
// The bytes an item keeps: of a list's item, of a box's item at `index`, of a model row.
std::string coreText(const QListWidgetItem& item);
std::string coreText(const QComboBox& box, int index);
std::string coreText(const QModelIndex& index);
// The first item of the box keeping exactly these bytes, or -1.
int findCoreItem(const QComboBox& box, std::string_view text);

// A label that shows a name and keeps its bytes (the main window's language in use).
void showCoreText(QLabel& label, std::string_view text);
std::string coreText(const QLabel& label);

} // namespace orbisto
