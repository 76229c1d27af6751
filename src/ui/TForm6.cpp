#include "ui/TForm6.h"

#include "app/Guard.h"
#include "app/UserInterface.h"
#include "app/Widgets.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QWindow>

namespace orbisto {

namespace {

const QColor kBackground(45, 46, 60);
const QColor kTitleColour(207, 255, 41);
const QColor kCloseColour(1, 154, 212);
// The classic desktop colour behind the pressed Close button.
const QColor kDesktopColour(58, 110, 165);

QFont aboutFont(int pixelHeight, bool bold = false) {
    QFont font(QStringLiteral("Bitstream Vera Serif"));
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    return font;
}

QFont panelFont() {
    QFont font(QStringLiteral("System"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(11);
    return font;
}

void paint(QWidget* widget, const QColor& background, const QColor& text) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// A label of the window's own font and colour, sized to its text in that font.
QLabel* textLabel(QWidget* parent, const char* name, const char* text, int left, int top, const QFont& font,
                  const QColor& colour = Qt::white) {
    QLabel* result = label(parent, name, text, left, top);
    result->setFont(font);
    QPalette palette = result->palette();
    palette.setColor(QPalette::WindowText, colour);
    result->setPalette(palette);
    result->adjustSize();
    return result;
}

QLabel* closePanel(QWidget* parent, const char* name, const QColor& background) {
    auto* panel = new QLabel(QStringLiteral("Close"), parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFont(panelFont());
    panel->setAlignment(Qt::AlignCenter);
    panel->setGeometry(8, 88, 89, 25);
    paint(panel, background, Qt::white);
    return panel;
}

} // namespace

TForm6::TForm6(AppContext& context, QWidget* parent) : QDialog(parent), ctx_(context) {
    ctx_.forms.form6 = this;
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QString());
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    buildLayout();
}

TForm6::~TForm6() {
    if (ctx_.forms.form6 == this) {
        ctx_.forms.form6 = nullptr;
    }
}

void TForm6::buildLayout() {
    setFixedSize(283, 118);
    move(239, 296);
    paint(this, kBackground, Qt::white);

    Label6 = textLabel(this, "Label6", "VESKO Orbisto 3", 56, 8, aboutFont(12, true), kTitleColour);
    Label1 = textLabel(this, "Label1", "author: Orbisto team", 8, 32, aboutFont(11));
    Label2 = textLabel(this, "Label2", "e-mail: orbisto@example.org", 8, 48, aboutFont(11));
    Label3 = textLabel(this, "Label3", "help: orbisto.example.org/help", 8, 64, aboutFont(11));
    Label4 = textLabel(this, "Label4", "\u00A9 2006-2026 Orbisto team", 120, 96, aboutFont(9));
    Label5 = textLabel(this, "Label5", "orbisto.example.org", 144, 104, aboutFont(9));

    Panel2 = closePanel(this, "Panel2", kDesktopColour);
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel2->setLineWidth(1);
    Panel1 = closePanel(this, "Panel1", kCloseColour);
    Panel1->raise();

    for (QLabel* watched : {Panel1, Label3, Label5}) {
        watched->installEventFilter(this);
    }
}

void TForm6::Panel1MouseDown() {
    // Panel2 shows through in its pressed look.
    Panel1->hide();
}

void TForm6::Panel1MouseUp() {
    Panel1->show();
    close();
    Panel1->show();
}

void TForm6::Label5Click() {
    ctx_.ui.shellOpen(kSiteAddress, true);
}

void TForm6::Label3DblClick() {
    ctx_.ui.shellOpen(kHelpAddress, true);
}

bool TForm6::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == Panel1 && type == QEvent::MouseButtonPress) {
        closePressed_ = true;
        // The release comes back to this window wherever the pointer is by then.
        grabMouse();
        runGuarded(ctx_.ui, this, [this] { Panel1MouseDown(); });
        return true;
    }
    if (watched == Label3 && type == QEvent::MouseButtonDblClick) {
        runGuarded(ctx_.ui, this, [this] { Label3DblClick(); });
        return true;
    }
    if (watched == Label5 && (type == QEvent::MouseButtonDblClick || type == QEvent::MouseButtonRelease)) {
        label5Mouse(*static_cast<QMouseEvent*>(event));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// The address is a link: a click on it (press and release on the label) opens it, and the release
// that ends a double click is no new click.
void TForm6::label5Mouse(const QMouseEvent& mouse) {
    if (mouse.type() == QEvent::MouseButtonDblClick) {
        label5DoubleClicked_ = true;
        return;
    }
    const bool second = std::exchange(label5DoubleClicked_, false);
    if (!second && mouse.button() == Qt::LeftButton && Label5->rect().contains(mouse.position().toPoint())) {
        runGuarded(ctx_.ui, this, [this] { Label5Click(); });
    }
}

void TForm6::mousePressEvent(QMouseEvent* event) {
    // Only the background drags: a press on a label or the Close button is not a move.
    if (childAt(event->position().toPoint()) == nullptr && windowHandle() != nullptr) {
        windowHandle()->startSystemMove();
    }
    event->accept();
}

void TForm6::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (closePressed_) {
        closePressed_ = false;
        releaseMouse();
        runGuarded(ctx_.ui, this, [this] { Panel1MouseUp(); });
    }
}

} // namespace orbisto
