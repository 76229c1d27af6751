#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>

#include "app/TForm1.h"
#include "app/UserInterface.h"
#include "library/NewBallScan.h"
#include "ui/TForm2.h"
#include "ui/TForm7.h"

namespace orbisto {

namespace {

void refill(QListWidget* list, const std::vector<std::string>& items) {
    list->clear();
    for (const std::string& item : items) {
        list->addItem(QString::fromStdString(item));
    }
}

} // namespace

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

    // Shows the growing count, and lets the GUI handle pending events at most every 10 ms.
    QElapsedTimer sincePump;
    sincePump.start();
    const auto result = library::scanNewBalls(ctx_.fs, state().AppFolder, [&](std::size_t found) {
        Label1->setText(QString::number(found));
        Label1->adjustSize();
        if (sincePump.elapsed() >= 10) {
            QCoreApplication::processEvents();
            sincePump.restart();
        }
    });

    refill(ListBox1, result.brands);
    refill(ListBox2, result.balls);
    std::vector<std::string> entries;
    for (const library::NewBallEntry& entry : result.newBalls) {
        entries.push_back(entry.text);
    }
    refill(new_, entries);
    state().newBalls = result.newBalls;
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
