#include "app/CoreText.h"
#include "app/TForm1.h"
#include "app/Widgets.h"
#include "library/BallTag.h"
#include "library/InstalledBall.h"
#include "library/Library.h"
#include "library/LibraryScan.h"
#include "library/Preview.h"
#include "platform/Image.h"
#include "platform/PathText.h"

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>

namespace orbisto {

namespace {

constexpr int kPreviewSize = 17;

// The brand of the box's selected item; empty while the edit field holds typed text of its own.
std::string selectedBrand(const QComboBox& box) {
    const int index = box.currentIndex();
    if (index < 0 || box.currentText() != box.itemText(index)) {
        return {};
    }
    return coreText(box, index);
}

} // namespace

// Fills the brand box: ">New balls" and the listed brands, sorted, none selected.
void TForm1::wczytaj() {
    // Refilling is not a pick (see connectPick): the ball list and the chosen brand stay as they are.
    brand->clear();
    brand->setEditText({});
    for (const std::string& item : library::brandBoxItems(library_, platform::toPath(state().AppFolder))) {
        addCoreItem(*brand, item);
    }
    brand->setCurrentIndex(-1);
    brand->setEditText({});
}

void TForm1::refreshLibrary(LibraryRefresh how) {
    if (how == LibraryRefresh::Forget) {
        lista->clear();
        brand->clear();
        brand->clearEditText();
        wczytaj();
        lista->clear();
        // Emptying the lists picks nothing, so the brand and ball they showed are forgotten here.
        SharedState& s = state();
        s.ChosenBrand.clear();
        s.BrandName.clear();
        s.BallName.clear();
        return;
    }
    const QString shown = brand->currentText();
    const int index = brand->currentIndex();
    const bool chosen = index >= 0 && brand->itemText(index) == shown;
    const std::string chosenBrand = chosen ? coreText(*brand, index) : std::string();
    wczytaj();
    const QSignalBlocker blocker(brand);
    brand->setCurrentIndex(chosen ? findCoreItem(*brand, chosenBrand) : brand->findText(shown, Qt::MatchExactly));
    brand->setEditText(shown);
}

// A brand was chosen (or text typed): lists its balls, or the ">New balls" entries.
void TForm1::brandChange() {
    SharedState& s = state();
    s.BrandName.clear();
    s.BallName.clear();
    s.BrandName = selectedBrand(*brand);
    s.ChosenBrand = s.BrandName;

    lista->clear();
    for (const std::string& item :
         library::ballListItems(library_, platform::toPath(s.AppFolder), s.BrandName, s.newBalls)) {
        addCoreItem(*lista, item);
    }
}

// A ball was picked: it becomes the chosen ball and its row-7 frames play in the preview.
void TForm1::listaClick() {
    SharedState& s = state();
    s.BallName.clear();
    const QListWidgetItem* item = pickedItem(*lista);
    if (item == nullptr) {
        return;
    }
    s.BallName = coreText(*item);
    Timer1->setInterval(library::previewInterval(TrackBar1->value()));

    // The brand box's text decides, not ChosenBrand: BrandName keeps ">New balls" for such entries.
    const bool newBall = brand->currentText() == shownText(library::kNewBalls);
    const library::BallRef ball =
        newBall ? library::resolveNewBallEntry(s.BallName, s.newBalls) : library::BallRef{s.BrandName, s.BallName};
    library::loadPreviewFrames(library::ballFolder(platform::toPath(s.AppFolder), ball), PreviewImages);
    PreviewFrame = 1;
}

// One preview step: a white 17 x 17 surface with the current slot's frame drawn over it.
void TForm1::Timer1Timer() {
    QImage surface(kPreviewSize, kPreviewSize, QImage::Format_ARGB32_Premultiplied);
    surface.fill(Qt::white);
    if (const Image* frame = library::previewSlot(PreviewImages, PreviewFrame)) {
        const QImage view(frame->rgba.data(), frame->width, frame->height, frame->width * 4, QImage::Format_RGBA8888);
        QPainter painter(&surface);
        painter.drawImage(0, 0, view);
    }
    Image3->setPicture(surface);
    PreviewFrame = library::nextPreviewFrame(PreviewFrame);
}

void TForm1::TrackBar1Change() {
    Timer1->setInterval(library::previewInterval(TrackBar1->value()));
}

// Names and shows the normal and the winter ball installed in GameFolder.
void TForm1::current() {
    showInstalledBall(std::string(library::kInstalledNormalFrame), Label3, Image4);
    showInstalledBall(std::string(library::kInstalledWinterFrame), Label4, Image5);
}

void TForm1::showInstalledBall(const std::string& frameRelativePath, QLabel* label, PictureBox* picture) {
    const auto frame = library::installedFrame(ctx_.fs, state().GameFolder, frameRelativePath);
    if (!frame) {
        picture->hide();
        label->clear();
        return;
    }
    // In this order, so a frame that fails leaves the picture visible and what was shown before.
    picture->show();
    label->setText(shownText(library::installedBallName(*frame)));
    label->adjustSize();
    picture->setPicture(platform::decodePngFile(*frame));
}

void TForm1::SaveToExe(const std::string& file, const std::string& text) {
    library::SaveToExe(platform::toPath(file), text);
}

} // namespace orbisto
