#include "app/TForm1.h"

#include "app/CoreText.h"
#include "app/Guard.h"
#include "app/UserInterface.h"
#include "app/Widgets.h"
#include "library/GameFolders.h"
#include "library/ProgramSettings.h"
#include "library/VersionChoice.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Image.h"
#include "platform/PathText.h"
#include "platform/SettingsStore.h"
#include "ui/TForm4.h"
#include "ui/TForm6.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>

namespace orbisto {

using i18n::Message;

TForm1::TForm1(AppContext& context, QWidget* parent) : QWidget(parent), ctx_(context) {
    ctx_.forms.form1 = this;
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromLatin1(kApplicationTitle));
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(8);
    setFont(font);
    buildLayout();
    setAcceptDrops(true);
    connectHandlers();
}

TForm1::~TForm1() {
    FormDestroy();
    if (ctx_.forms.form1 == this) {
        ctx_.forms.form1 = nullptr;
    }
}

bool TForm1::guard(const std::function<void()>& handler) {
    return runGuarded(ctx_.ui, this, handler);
}

std::string TForm1::programFolder() const {
    std::string folder = platform::toText(ctx_.executablePath.parent_path());
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

void TForm1::buildLayout() {
    setFixedSize(609, 297);
    move(340, 290);

    Image1 = place(new PictureBox(this), "Image1", 0, 0, 145, 297);
    Image2 = place(new PictureBox(this), "Image2", 32, 208, 49, 33);

    GroupBox1 = captioned<QGroupBox>(this, "GroupBox1", "Choose Fds", 152, 0, 241, 73);
    rb2005 = captioned<QRadioButton>(GroupBox1, "rb2005", "FM 2005", 8, 16, 113, 17);
    rb2006 = captioned<QRadioButton>(GroupBox1, "rb2006", "FM 2006", 8, 32, 113, 17);
    rb2007 = captioned<QRadioButton>(GroupBox1, "rb2007", "FM 2007", 8, 48, 113, 17);
    rb2006->setChecked(true);
    prevs = captioned<QPushButton>(GroupBox1, "prevs", "Preview balls in skins", 120, 44, 113, 25);

    GroupBox2 = captioned<QGroupBox>(this, "GroupBox2", "Installer", 152, 80, 241, 121);
    install = captioned<QPushButton>(GroupBox2, "install", "Install", 8, 16, 137, 25);
    rbn = captioned<QRadioButton>(GroupBox2, "rbn", "Only normal ball", 8, 48, 145, 17);
    rbw = captioned<QRadioButton>(GroupBox2, "rbw", "Only winter ball", 8, 64, 145, 17);
    rbnaw = captioned<QRadioButton>(GroupBox2, "rbnaw", "Normal and Winter", 8, 80, 185, 17);
    rbn->setChecked(true);
    cbinstall = place(new QCheckBox(QStringLiteral("Install to skin"), GroupBox2), "cbinstall", 8, 96, 145, 17);
    GroupBox3 = captioned<QGroupBox>(GroupBox2, "GroupBox3", "Preview", 160, 16, 65, 41);
    Image3 = place(new PictureBox(GroupBox3), "Image3", 24, 16, 17, 17);
    TrackBar1 = place(new QSlider(Qt::Horizontal, GroupBox2), "TrackBar1", 160, 64, 65, 41);
    TrackBar1->setRange(1, 5);
    TrackBar1->setValue(1);
    TrackBar1->setPageStep(1);
    TrackBar1->setTickPosition(QSlider::TicksBelow);
    TrackBar1->setTickInterval(1);

    GroupBox4 = captioned<QGroupBox>(this, "GroupBox4", "Currently installed normal ball", 152, 208, 241, 41);
    Label3 = label(GroupBox4, "Label3", "...", 8, 16);
    Image4 = place(new PictureBox(GroupBox4), "Image4", 216, 16, 17, 17);
    GroupBox5 = captioned<QGroupBox>(this, "GroupBox5", "Currently installed winter ball", 152, 256, 241, 41);
    Label4 = label(GroupBox5, "Label4", "...", 8, 16);
    Image5 = place(new PictureBox(GroupBox5), "Image5", 216, 16, 17, 17);

    GroupBox6 = captioned<QGroupBox>(this, "GroupBox6", "Balls", 400, 0, 209, 161);
    brand = place(new QComboBox(GroupBox6), "brand", 8, 16, 113, 21);
    brand->setEditable(true);
    brand->setInsertPolicy(QComboBox::NoInsert);
    lista = place(new PickList(GroupBox6), "lista", 8, 48, 193, 89);
    Label1 = label(GroupBox6, "Label1", "", 8, 144);
    Label2 = label(GroupBox6, "Label2", "balls", 32, 144);

    GroupBox8 = captioned<QGroupBox>(this, "GroupBox8", "Add other ball", 400, 168, 209, 49);
    add = captioned<QPushButton>(GroupBox8, "add", "Add", 8, 16, 193, 25);
    GroupBox7 = captioned<QGroupBox>(this, "GroupBox7", "", 400, 216, 209, 81);
    settings = captioned<QPushButton>(GroupBox7, "settings", "Settings", 8, 16, 193, 25);
    about = captioned<QPushButton>(GroupBox7, "about", "About", 8, 48, 89, 25);
    help = captioned<QPushButton>(GroupBox7, "help", "Help", 112, 48, 89, 25);

    // Hidden controls: the scan's button and lists, and the name of the language in use.
    JvXPButton1 = captioned<QPushButton>(this, "JvXPButton1", "JvXPButton1", 0, 0, 75, 25);
    ListBox1 = place(new HiddenList(this), "ListBox1", 0, 0, 10, 10);
    ListBox2 = place(new HiddenList(this), "ListBox2", 0, 0, 10, 10);
    new_ = place(new HiddenList(this), "new", 0, 0, 10, 10);
    Label5 = label(this, "Label5", "", 0, 0);
    for (QWidget* hidden :
         {static_cast<QWidget*>(JvXPButton1), static_cast<QWidget*>(ListBox1), static_cast<QWidget*>(ListBox2),
          static_cast<QWidget*>(new_), static_cast<QWidget*>(Label5)}) {
        hidden->hide();
    }
    // The logo lies under the service window's hot spot.
    Image2->raise();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(120);
    Timer1->start();
}

void TForm1::connectHandlers() {
    connectGuarded(this, install, &QPushButton::clicked, &TForm1::installClick);
    connectGuarded(this, settings, &QPushButton::clicked, &TForm1::settingsClick);
    connectGuarded(this, about, &QPushButton::clicked, &TForm1::aboutClick);
    connectGuarded(this, help, &QPushButton::clicked, &TForm1::helpClick);
    connectGuarded(this, add, &QPushButton::clicked, &TForm1::addClick);
    connectGuarded(this, prevs, &QPushButton::clicked, &TForm1::prevsClick);
    connectGuarded(this, JvXPButton1, &QPushButton::clicked, &TForm1::JvXPButton1Click);
    connectGuarded(this, Image2, &PictureBox::doubleClicked, &TForm1::Image2DblClick);
    connectGuarded(this, Timer1, &QTimer::timeout, &TForm1::Timer1Timer);
    connectGuarded(this, TrackBar1, &QSlider::valueChanged, &TForm1::TrackBar1Change);
    connectPick(this, lista, &TForm1::listaClick);
    connectGuarded(this, lista, &QListWidget::itemDoubleClicked, &TForm1::listaDblClick);
    // Also typing into the box's edit field, which leaves no item selected.
    connectPick(this, brand, &TForm1::brandChange);

    // A version button runs its handler when it becomes checked, by the user or from code.
    const std::array<void (TForm1::*)(), 3> versionHandlers{&TForm1::rb2005Click, &TForm1::rb2006Click,
                                                            &TForm1::rb2007Click};
    for (std::size_t i = 0; i < library::kVersionCount; ++i) {
        auto handler = versionHandlers[i];
        connect(versionButton(i), &QRadioButton::toggled, this, [this, handler](bool checked) {
            if (checked) {
                guard([this, handler] { (this->*handler)(); });
            }
        });
    }
}

void TForm1::FormCreate() {
    guard([this] {
        const std::string language = library::readLanguage(ctx_.settings);
        lang0(language);
        setCurrentLanguage(language);

        // A logo that cannot be loaded is reported, and start-up goes on without it.
        guard([this] { loadLogo(); });

        rejestr();
        wczytaj();
        current();
    });
}

void TForm1::loadLogo() {
    // Looked for in the working folder first (where a shortcut may point), then beside the program.
    const std::filesystem::path name = "logo.jpg";
    std::filesystem::path file = ctx_.workingFolder / name;
    if (!ctx_.fs.isPlainFile(file)) {
        file = platform::toPath(programFolder()) / name;
    }
    Image1->setPicture(platform::decodeJpegFile(file));
}

void TForm1::rejestr() {
    SharedState& s = state();
    const library::VersionChoice choice = library::chooseVersion(ctx_.settings, ctx_.installRecords);
    s.FolderSources = choice.folders;
    for (std::size_t i = 0; i < library::kVersionCount; ++i) {
        s.versionFolder(i) = choice.folders[i].folder;
        versionButton(i)->setEnabled(choice.enabled[i]);
    }
    showFolderSources();
    // Checked without its handler: start-up shows the installed balls of GameFolder next.
    const QSignalBlocker blocker(versionButton(choice.chosen));
    versionButton(choice.chosen)->setChecked(true);
    s.GameFolder = choice.gameFolder;
    s.AppFolder = programFolder();
}

QRadioButton* TForm1::versionButton(std::size_t version) const {
    switch (library::gameVersions().at(version).button) {
    case library::VersionButton::Fm2005:
        return rb2005;
    case library::VersionButton::Fm2006:
        return rb2006;
    case library::VersionButton::Fm2007:
        return rb2007;
    }
    return nullptr;
}

std::optional<std::size_t> TForm1::checkedVersion() const {
    for (std::size_t i = 0; i < library::kVersionCount; ++i) {
        if (versionButton(i)->isChecked()) {
            return i;
        }
    }
    return std::nullopt;
}

void TForm1::showFolderSources() {
    const SharedState& s = state();
    for (std::size_t i = 0; i < library::kVersionCount; ++i) {
        const library::GameFolder& source = s.FolderSources[i];
        QString tip;
        switch (source.origin) {
        case library::FolderOrigin::None:
            break;
        case library::FolderOrigin::Installer:
            tip = shownText(source.folder + "\n" + s.messages[Message::srcinst]);
            break;
        case library::FolderOrigin::Settings:
            tip = shownText(source.folder + "\n" + s.messages[Message::srcset]);
            break;
        case library::FolderOrigin::WinePrefix:
            tip = shownText(source.folder + "\n" + s.messages[Message::srcwine] + " " + source.prefix);
            break;
        }
        versionButton(i)->setToolTip(tip);
    }
}

void TForm1::versionClick(std::size_t version) {
    QRadioButton* button = versionButton(version);
    if (!button->isChecked() || !button->isEnabled()) {
        return;
    }
    state().GameFolder = state().versionFolder(version);
    current();
}

void TForm1::rb2005Click() {
    versionClick(0);
}
void TForm1::rb2006Click() {
    versionClick(1);
}
void TForm1::rb2007Click() {
    versionClick(2);
}

void TForm1::FormClose() {
    library::writeChosenVersion(ctx_.settings, checkedVersion());
}

void TForm1::closeEvent(QCloseEvent* event) {
    // A choice that cannot be stored is reported, and the program still closes.
    if (!closing_) {
        closing_ = true;
        guard([this] { FormClose(); });
    }
    event->accept();
}

void TForm1::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        FormActivate();
    }
}

void TForm1::FormActivate() {
    guard([this] { JvXPButton1Click(); });
}

void TForm1::FormDestroy() {
    for (Image& frame : PreviewImages) {
        frame = Image{};
    }
}

void TForm1::closee() {
    close();
}

void TForm1::settingsClick() {
    TForm4* settingsWindow = ctx_.forms.form4;
    ctx_.ui.showModal(*settingsWindow);
    // The window fills its list at every opening and relies on it being emptied here.
    settingsWindow->ListBox1->clear();
    settingsWindow->JvXPButton1->setEnabled(false);
}

void TForm1::aboutClick() {
    ctx_.ui.showModal(*ctx_.forms.form6);
}

void TForm1::helpClick() {
    // The working folder first (as the shell would look), then beside the program, so that Help
    // also works when the program is started from a shortcut or a file manager.
    const std::filesystem::path name = "ReadMe.txt";
    for (const std::filesystem::path& folder : {ctx_.workingFolder, platform::toPath(programFolder())}) {
        const std::filesystem::path file = folder / name;
        if (!folder.empty() && ctx_.fs.isPlainFile(file)) {
            // A shell that cannot open it raises its reason, which the error box shows.
            ctx_.ui.shellOpen(platform::toText(file), false);
            return;
        }
    }
    // Found nowhere: reported here, the same on every platform (xdg-open would only fail after it
    // has started, out of sight).
    throw ShellOpenError(platform::toText(name), IoError::textFor(2));
}

} // namespace orbisto
