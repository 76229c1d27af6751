#include "app/TForm1.h"
#include "app/UserInterface.h"
#include "app/Widgets.h"
#include "library/NewBallScan.h"
#include "platform/PathText.h"
#include "ui/TForm2.h"
#include "ui/TForm7.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>

namespace orbisto {

void TForm1::JvXPButton1Click() {
    // Events handled during the walk may activate this window again; one scan at a time is enough.
    static bool scanning = false;
    if (scanning) {
        return;
    }
    scanning = true;
    struct Done {
        ~Done() { scanning = false; }
    } done;

    // Lets the GUI handle pending events at most every 10 ms, showing the growing count each time.
    QElapsedTimer sincePump;
    sincePump.start();
    library::NewBallScanResult result =
        library::scanNewBalls(library_, platform::toPath(state().AppFolder), [&](std::size_t found) {
            if (sincePump.elapsed() >= 10) {
                showBallCount(found);
                QCoreApplication::processEvents();
                sincePump.restart();
            }
        });
    // The count shows only once balls were found; otherwise it keeps what it showed.
    if (!result.balls.empty()) {
        showBallCount(result.balls.size());
    }

    // A list that holds what was found already is left alone.
    if (ListBox1->texts() != result.brands) {
        ListBox1->setTexts(result.brands);
    }
    if (ListBox2->texts() != result.balls) {
        ListBox2->setTexts(std::move(result.balls));
    }
    std::vector<std::string> entries;
    entries.reserve(result.newBalls.size());
    for (const library::NewBallEntry& entry : result.newBalls) {
        entries.push_back(entry.text);
    }
    if (new_->texts() != entries) {
        new_->setTexts(std::move(entries));
    }
    if (state().newBalls != result.newBalls) {
        state().newBalls = std::move(result.newBalls);
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
