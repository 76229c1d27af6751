#pragma once

#include <QImage>
#include <QLabel>
#include <QListView>
#include <QStringList>
#include <string>
#include <vector>

#include "platform/Image.h"

namespace orbisto {

// Names a control (its objectName is the language files' key for it) and puts it at its place in the layout.
template <typename W> W* place(W* widget, const char* name, int left, int top, int width, int height) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(left, top, width, height);
    return widget;
}

// Connects a control's signal to a handler of its window, run through the window's error guard.
template <typename Form, typename Sender, typename Signal>
void connectGuarded(Form* form, Sender* sender, Signal signal, void (Form::*handler)()) {
    QObject::connect(sender, signal, form, [form, handler] { form->guard([form, handler] { (form->*handler)(); }); });
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
    void setTexts(std::vector<std::string> texts);

private:
    class TextModel;
    TextModel* model_;
};

} // namespace orbisto
