#include "ui/TForm7.h"

#include "app/CoreText.h"
#include "app/Guard.h"
#include "app/TForm1.h"
#include "app/UserInterface.h"
#include "app/Widgets.h"
#include "library/WriteCheck.h"
#include "platform/Image.h"
#include "platform/PathText.h"

#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QShowEvent>
#include <QUrl>
#include <optional>
#include <utility>

namespace orbisto {

using i18n::Message;

namespace {

// The local file a dropped address names, as the core's text. A file name that is not UTF-8 (on
// Linux) comes percent-encoded byte for byte, and would lose those bytes on the way through a QString.
std::string droppedFileText(const QUrl& url) {
    if (!url.isLocalFile()) {
        return {};
    }
    const QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    if (url.host().isEmpty() && !bytes.isValidUtf8()) {
        return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }
    return typedText(url.toLocalFile());
}

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ", ") + name;
    }
    return text;
}

std::string brandMessage(const i18n::Messages& m, library::AddBrandOutcome outcome) {
    switch (outcome) {
    case library::AddBrandOutcome::EmptyName:
        return m[Message::pusmsg];
    case library::AddBrandOutcome::InvalidName:
        return m[Message::namemsg];
    case library::AddBrandOutcome::AlreadyListed:
        return m[Message::istmsg];
    case library::AddBrandOutcome::Added:
        break;
    }
    return m[Message::katmsg];
}

std::string newBallMessage(const i18n::Messages& m, const library::NewBallResult& result) {
    using library::NewBallOutcome;
    switch (result.outcome) {
    case NewBallOutcome::Incomplete:
        return m[Message::pusmsg];
    case NewBallOutcome::InvalidName:
        return m[Message::namemsg];
    case NewBallOutcome::MissingFrames:
        return m[Message::chkmsg] + " " + joined(result.missingFrames);
    case NewBallOutcome::NotWritable:
        // Nothing was written; the unpacked archive stays for another try.
        return library::messageWithPath(m[Message::admmsg], result.folder);
    case NewBallOutcome::AlreadyExists:
        return m[Message::ist2msg];
    case NewBallOutcome::Added:
        break;
    }
    return m[Message::dodmsg];
}

} // namespace

TForm7::TForm7(AppContext& context, QWidget* parent)
    : QDialog(parent), source_(context.fs, context.tempFolder), OwnBallFolder(source_.folder()), ctx_(context) {
    ctx_.forms.form7 = this;
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("Own Ball"));
    buildLayout();

    connectGuarded(this, JvXPButton71, &QPushButton::clicked, &TForm7::JvXPButton71Click);
    connectGuarded(this, JvXPButton72, &QPushButton::clicked, &TForm7::JvXPButton72Click);
    connectGuarded(this, JvXPButton73, &QPushButton::clicked, &TForm7::JvXPButton73Click);
    connectGuarded(this, JvXPButton74, &QPushButton::clicked, &TForm7::JvXPButton74Click);
    connectPick(this, prev, &TForm7::prevClick);
    source_.onFilesChanged([this] { op(); });
}

TForm7::~TForm7() {
    if (ctx_.forms.form7 == this) {
        ctx_.forms.form7 = nullptr;
    }
}

void TForm7::buildLayout() {
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(401, 297);

    Group7Box1 = place(new QGroupBox(QStringLiteral("Add ball"), this), "Group7Box1", 8, 8, 385, 281);
    JvXPButton72 =
        place(new QPushButton(QStringLiteral("Open folder with ball"), Group7Box1), "JvXPButton72", 8, 16, 177, 25);
    Label71 = label(Group7Box1, "Label71", "Name:", 8, 52);
    Edit1 = place(new QLineEdit(Group7Box1), "Edit1", 56, 48, 129, 21);
    Label72 = label(Group7Box1, "Label72", "Brand:", 8, 80);
    ComboBox1 = place(new QComboBox(Group7Box1), "ComboBox1", 56, 76, 129, 21);
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    JvXPButton73 = place(new QPushButton(QStringLiteral("Add ball"), Group7Box1), "JvXPButton73", 8, 108, 177, 25);
    // In the free row between "Add ball" and the brand box.
    JvXPButton74 =
        place(new QPushButton(QStringLiteral("Open archive with ball"), Group7Box1), "JvXPButton74", 8, 138, 177, 25);
    prev = place(new PickList(Group7Box1), "prev", 192, 16, 113, 257);
    Group7Box3 = place(new QGroupBox(QStringLiteral("View"), Group7Box1), "Group7Box3", 312, 16, 65, 49);
    Image1 = place(new PictureBox(Group7Box3), "Image1", 24, 20, 17, 17);

    Group7Box2 = place(new QGroupBox(QStringLiteral("Add new brand"), Group7Box1), "Group7Box2", 8, 168, 177, 105);
    Label73 = label(Group7Box2, "Label73", "Brand name:", 8, 20);
    Edit2 = place(new QLineEdit(Group7Box2), "Edit2", 8, 40, 161, 21);
    JvXPButton71 = place(new QPushButton(QStringLiteral("Add brand"), Group7Box2), "JvXPButton71", 8, 70, 161, 25);

    ListBox4 = place(new QListWidget(this), "ListBox4", 0, 0, 10, 10);
    ListBox1 = place(new QListWidget(this), "ListBox1", 0, 0, 10, 10);
    ListBox4->hide();
    ListBox1->hide();
    setAcceptDrops(true);
}

bool TForm7::guard(const std::function<void()>& handler) {
    return runGuarded(ctx_.ui, this, handler);
}

void TForm7::inform(const std::string& text) {
    ctx_.ui.information(this, shownText(text));
}

void TForm7::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        guard([this] { FormShow(); });
    }
}

void TForm7::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (!event->spontaneous()) {
        source_.discardUnpacked();
    }
}

void TForm7::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void TForm7::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    const QMimeData* dropped = event->mimeData();
    guard([this, dropped] {
        if (const auto source = droppedSource(*dropped)) {
            chooseSource(*source);
        }
    });
}

void TForm7::FormShow() {
    if (TForm1* main = ctx_.forms.form1) {
        main->lang5(main->currentLanguage());
    }
    source_.forgetFiles();
    ListBox4->clear();
    for (std::string_view frame : library::kFrameNames) {
        addCoreItem(*ListBox4, frame);
    }
    reloadBrands();
    if (!PendingSource.empty()) {
        chooseSource(std::exchange(PendingSource, {}));
    }
}

void TForm7::lad() {
    BallsFolder = ctx_.state.AppFolder.empty() ? std::string() : ctx_.state.AppFolder + "balls/";
    for (const std::string& brand : library::ownBallBrands(ctx_.fs, platform::toPath(ctx_.state.AppFolder))) {
        addCoreItem(*ListBox1, brand);
        addCoreItem(*ComboBox1, brand);
    }
    ComboBox1->setCurrentIndex(-1); // no brand chosen until the user picks one
}

void TForm7::reloadBrands() {
    ListBox1->clear();
    ComboBox1->clear();
    ComboBox1->clearEditText();
    lad();
}

std::vector<std::string> TForm7::listedBrands() const {
    std::vector<std::string> brands;
    for (int row = 0; row < ListBox1->count(); ++row) {
        brands.push_back(coreText(*ListBox1->item(row)));
    }
    return brands;
}

void TForm7::JvXPButton71Click() {
    const SharedState& s = ctx_.state;
    library::AddBrandOutcome outcome{};
    try {
        outcome = library::addBrand(ctx_.fs, platform::toPath(s.AppFolder), listedBrands(), typedText(Edit2->text()));
    } catch (const library::FolderNotWritable& e) {
        inform(library::messageWithPath(s.messages[Message::admmsg], e.folder()));
        return;
    }
    if (outcome == library::AddBrandOutcome::Added) {
        reloadBrands(); // offered at once; the main window learns of it when a ball is added
    }
    inform(brandMessage(s.messages, outcome));
}

void TForm7::JvXPButton72Click() {
    if (const std::optional<QString> folder = ctx_.ui.chooseFolder(this)) {
        showTaken(source_.chooseFolder(typedText(*folder)));
    }
}

void TForm7::JvXPButton74Click() {
    if (const std::optional<QString> file = ctx_.ui.chooseArchive(this)) {
        openArchive(typedText(*file));
    }
}

void TForm7::openArchive(const std::string& file) {
    showTaken(source_.openArchive(file, [this](const auto& setPaths) { return chooseBallSet(setPaths); }));
}

std::optional<std::size_t> TForm7::chooseBallSet(const std::vector<std::string>& setPaths) {
    QStringList paths;
    for (const std::string& path : setPaths) {
        paths << shownText(path);
    }
    const std::optional<int> answer = ctx_.ui.chooseItem(this, shownText(ctx_.state.messages[Message::setmsg]), paths);
    if (!answer || *answer < 0) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(*answer);
}

void TForm7::showTaken(const library::SourceTaken& taken) {
    const i18n::Messages& m = ctx_.state.messages;
    switch (taken.outcome) {
    case library::SourceOutcome::Listed:
        if (taken.suggestedName) {
            SuggestedName = *taken.suggestedName;
            Edit1->setText(shownText(SuggestedName));
        }
        return;
    case library::SourceOutcome::NoBallSet:
        inform(m[Message::nosetmsg] + " " + joined(taken.missingFrames));
        return;
    case library::SourceOutcome::Refused:
        inform(m[i18n::archiveMessage(taken.problem)]);
        return;
    case library::SourceOutcome::Cancelled:
        return;
    }
}

std::optional<std::string> TForm7::droppedSource(const QMimeData& dropped) {
    std::vector<std::filesystem::path> paths;
    for (const QUrl& url : dropped.urls()) {
        paths.push_back(platform::toPath(droppedFileText(url)));
    }
    const std::optional<std::filesystem::path> source = library::droppedSource(ctx_.fs, paths);
    if (!source) {
        inform(ctx_.state.messages[Message::dropmsg]);
        return std::nullopt;
    }
    return platform::toText(*source);
}

void TForm7::chooseSource(const std::string& path) {
    showTaken(source_.take(path, [this](const auto& setPaths) { return chooseBallSet(setPaths); }));
}

void TForm7::op() {
    prev->clear();
    for (const std::string& file : source_.check().files) {
        addCoreItem(*prev, file);
    }
}

void TForm7::prevClick() {
    const QListWidgetItem* item = pickedItem(*prev);
    if (item == nullptr || OwnBallFolder.empty()) {
        return;
    }
    Image1->setPicture(platform::decodePngFile(platform::toPath(OwnBallFolder) / platform::toPath(coreText(*item))));
}

library::NewBallInput TForm7::newBallInput() const {
    library::NewBallInput input;
    // A suggested name that is not UTF-8 shows U+FFFD, which typing cannot give: while Edit1 shows the
    // suggestion unchanged, the name is the suggestion's own bytes.
    input.name = Edit1->text() == shownText(SuggestedName) ? SuggestedName : typedText(Edit1->text());
    // The selected entry, unless the text was edited away from it since.
    const int index = ComboBox1->currentIndex();
    if (index >= 0 && ComboBox1->itemText(index) == ComboBox1->currentText()) {
        input.selectedBrand = coreText(*ComboBox1, index);
    }
    input.typedBrand = typedText(ComboBox1->currentText());
    input.listedBrands = listedBrands();
    return input;
}

void TForm7::JvXPButton73Click() {
    library::NewBallResult result;
    {
        const ReentryGuard::Run run = adding_.enter({Group7Box1});
        if (!run) {
            return;
        }
        EventPump pump;
        result = source_.addBall(platform::toPath(ctx_.state.AppFolder), newBallInput(), [&pump] { pump(); });
    }
    if (result.outcome == library::NewBallOutcome::Added) {
        refreshMainWindow();
    }
    inform(newBallMessage(ctx_.state.messages, result));
}

void TForm7::refreshMainWindow() {
    if (TForm1* main = ctx_.forms.form1) {
        main->refreshLibrary(TForm1::LibraryRefresh::Forget);
    }
}

} // namespace orbisto
