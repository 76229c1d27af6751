#pragma once

#include "app/AppContext.h"

#include <QDialog>

class QLabel;
class QMouseEvent;

namespace orbisto {

// The about window: borderless, dark, fixed texts, a flat "Close" button of two panels, moved by
// dragging its background.
class TForm6 : public QDialog {
    Q_OBJECT
public:
    explicit TForm6(AppContext& context, QWidget* parent = nullptr);
    ~TForm6() override;

    static constexpr const char* kSiteAddress = "https://orbisto.example.org/";
    static constexpr const char* kHelpAddress = "https://orbisto.example.org/help";

    // Close button: a press shows the pressed panel; the release, wherever the pointer is, closes.
    void Panel1MouseDown();
    void Panel1MouseUp();
    void Label5Click();
    void Label3DblClick();

    QLabel* Label6 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Panel2 = nullptr; // the Close button pressed
    QLabel* Panel1 = nullptr; // the Close button at rest, above Panel2

protected:
    // FormMouseDown: any button on the background drags the window.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();

    AppContext& ctx_;
    bool closePressed_ = false;
    void label5Mouse(const QMouseEvent& mouse);
    bool label5DoubleClicked_ = false;
};

} // namespace orbisto
