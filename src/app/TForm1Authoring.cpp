#include "app/TForm1.h"
#include "app/UserInterface.h"
#include "app/Widgets.h"
#include "library/NewBallScan.h"
#include "platform/PathText.h"
#include "ui/TForm2.h"
#include "ui/TForm7.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>

namespace orbisto {

void TForm1::JvXPButton1Click() {
    const ReentryGuard::Run run = scanning_.enter();
    if (!run) {
        return;
    }
    EventPump pump; // showing the growing count each time it lets the GUI handle events
    library::NewBallScanResult found = library::scanNewBalls(
        library_, platform::toPath(state().AppFolder), [&](std::size_t count) { pump([&] { showBallCount(count); }); });
    // The count shows only once balls were found; otherwise it keeps what it showed.
    if (!found.balls.empty()) {
        showBallCount(found.balls.size());
    }
    showScan(std::move(found));
}

void TForm1::showScan(library::NewBallScanResult found) {
    // Lists that hold what was found already are left alone (setTexts compares).
    ListBox1->setTexts(std::move(found.brands));
    ListBox2->setTexts(std::move(found.balls));
    std::vector<std::string> entries;
    entries.reserve(found.newBalls.size());
    for (const library::NewBallEntry& entry : found.newBalls) {
        entries.push_back(entry.text);
    }
    new_->setTexts(std::move(entries));
    if (state().newBalls != found.newBalls) {
        state().newBalls = std::move(found.newBalls);
    }
}

void TForm1::showBallCount(std::size_t count) {
    const QString text = QString::number(count);
    if (Label1->text() != text) {
        Label1->setText(text);
        Label1->adjustSize();
    }
}

void TForm1::addClick() {
    if (ctx_.forms.form7 != nullptr) {
        ctx_.ui.showModal(*ctx_.forms.form7);
    }
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void TForm1::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    const QMimeData* dropped = event->mimeData();
    guard([this, dropped] {
        TForm7* window = ctx_.forms.form7;
        if (window == nullptr) {
            return;
        }
        if (auto source = window->droppedSource(*dropped)) {
            window->PendingSource = std::move(*source);
            addClick();
        }
    });
}

void TForm1::Image2DblClick() {
    if (ctx_.forms.form2 != nullptr) {
        ctx_.ui.showModal(*ctx_.forms.form2);
    }
}

} // namespace orbisto
