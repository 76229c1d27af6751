#pragma once

#include "platform/Image.h"

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QStringList>
#include <string>
#include <vector>

namespace orbisto {

// Names a control (its objectName is the language files' key for it) and puts it at its place in the layout.
template <typename W> W* place(W* widget, const char* name, int left, int top, int width, int height) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(left, top, width, height);
    return widget;
}

// Names a control that a layout places.
template <typename W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A control with a caption (a button, radio button, check box, group box or fixed-size label),
// named and placed.
template <typename W>
W* captioned(QWidget* parent, const char* name, const char* caption, int left, int top, int width, int height) {
    return place(new W(QString::fromUtf8(caption), parent), name, left, top, width, height);
}

// A label named and put at its place, sized to its text; a label shown empty at first is sized
// again when it gets its text.
QLabel* label(QWidget* parent, const char* name, const char* text, int left, int top);

// Connects a control's signal to a handler of its window, run through the window's error guard.
template <typename Form, typename Sender, typename Signal>
void connectGuarded(Form* form, Sender* sender, Signal signal, void (Form::*handler)()) {
    QObject::connect(sender, signal, form, [form, handler] { form->guard([form, handler] { (form->*handler)(); }); });
}

// A list whose choice is the player's own. It reports `picked` when a click, a drag or a key (arrows,
// Home/End, Page keys, type-ahead) selects another item; focus alone selects nothing and makes no item
// current, and filling, clearing or selecting from code never counts as a pick. Nor can a Ctrl+click
// take the choice away: a pick is only ever replaced by another.
class PickList : public QListWidget {
    Q_OBJECT
public:
    explicit PickList(QWidget* parent = nullptr);

signals:
    void picked();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index, const QEvent* event) const override;

private:
    // Runs the list's own handling of one input event and reports a pick when it selected another item.
    template <typename Handling> void byPlayer(Handling handling);

    int inputDepth_ = 0;
};

// The item picked in a list: its selected item, or null. A current item that is not selected (as Qt
// makes one on focus) is no choice.
QListWidgetItem* pickedItem(const QListWidget& list);

// Connects the player's picks in a list to a handler of its window, run through the window's guard.
template <typename Form> void connectPick(Form* form, PickList* list, void (Form::*handler)()) {
    connectGuarded(form, list, &PickList::picked, handler);
}

// Connects the player's picks in a box to a handler: an item chosen from the drop-down, with the keys
// or the wheel, and (in a box with an edit field) text typed into it. Code that fills, clears or sets
// the box runs nothing.
template <typename Form> void connectPick(Form* form, QComboBox* box, void (Form::*handler)()) {
    connectGuarded(form, box, &QComboBox::activated, handler);
    if (QLineEdit* edit = box->lineEdit()) {
        connectGuarded(form, edit, &QLineEdit::textEdited, handler);
    }
}

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

// A list box that is never shown, holding texts only. Its model keeps the texts as they come, so a
// long list (one entry per ball of the library) takes a fraction of the memory list-widget items
// take, and a scan can tell whether its result differs from what the list holds.
class HiddenList : public QListView {
    Q_OBJECT
public:
    explicit HiddenList(QWidget* parent = nullptr);
    int count() const;
    QStringList items() const;
    const std::vector<std::string>& texts() const;
    // Replaces the texts; a list that holds them already is left alone.
    void setTexts(std::vector<std::string> texts);

private:
    class TextModel;
    TextModel* model_;
};

} // namespace orbisto
