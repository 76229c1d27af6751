#pragma once

#include "app/AppContext.h"
#include "app/EventPump.h"
#include "install/InstallBall.h"
#include "library/LibraryReader.h"
#include "library/NewBallScan.h"
#include "platform/Image.h"

#include <QMainWindow>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QDragEnterEvent;
class QDropEvent;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSlider;
class QTimer;

namespace orbisto {

class PickList;
class HiddenList;
class PictureBox;
class UserInterface;

// The main window: game version choice, the ball library, the preview, installing, the installed
// balls, and the buttons that open every other window. Owns the shared state (in the context).
class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(AppContext& context, QWidget* parent = nullptr);
    ~TForm1() override;

    AppContext& context() { return ctx_; }
    SharedState& state() { return ctx_.state; }

    // Runs one event handler through the error guard (see Guard.h).
    bool guard(const std::function<void()>& handler);

    // Start-up steps: language, logo, game folders, library, installed balls.
    void FormCreate();
    // Runs the new-ball scan every time the main window becomes active again.
    void FormActivate();
    // Stores the chosen version; the program then ends.
    void FormClose();
    // Releases the decoded preview frames.
    void FormDestroy();

    // Shows the core's version choice on the version buttons; sets the three folders, GameFolder and AppFolder.
    void rejestr();
    // Tooltips of the version buttons: each version's folder and where it came from.
    void showFolderSources();
    void rb2005Click();
    void rb2006Click();
    void rb2007Click();

    // Refills the brand box: ">New balls" and every listed brand.
    void wczytaj();
    void brandChange();
    // Preview: picking a ball, the timer tick, the speed slider.
    void listaClick();
    void Timer1Timer();
    void TrackBar1Change();
    // Shows the balls installed in GameFolder (normal and winter).
    void current();

    void installClick();
    void listaDblClick();
    void settingsClick();
    void aboutClick();
    void helpClick();
    void addClick();
    void prevsClick();
    void Image2DblClick();
    // The library scan behind the hidden button: ListBox1, ListBox2, new and the count in Label1.
    void JvXPButton1Click();

    // Language files applied to the main window (and messages), install-to-skin, settings and own-ball windows.
    void lang0(const std::string& language);
    void lang3(const std::string& language);
    void lang4(const std::string& language);
    void lang5(const std::string& language);

    // Writes a ball tag into a frame file.
    void SaveToExe(const std::string& file, const std::string& text);
    // Closes the main window, which stores the choice and ends the program.
    void closee();

    // The button of a version (an index into library::gameVersions()).
    QRadioButton* versionButton(std::size_t version) const;
    // The version whose button is checked, the first one when several are.
    std::optional<std::size_t> checkedVersion() const;

    // The language in use: the name of its language file, which Label5 keeps.
    std::string currentLanguage() const;
    void setCurrentLanguage(const std::string& language);
    // The name of the ball picked in the ball list; ListIndexError when none is picked.
    std::string pickedBall() const;
    // Which ball folders an install writes into, as rbn, rbw and rbnaw choose; nothing when none is checked.
    using InstallMode = install::InstallMode;
    std::optional<InstallMode> installMode() const;
    void setInstallMode(InstallMode mode);
    // Refills the brand box after the library changed. KeepShown keeps what it showed: the brand chosen
    // (found again by its bytes, as two names may show alike) or the text typed. Forget empties the ball
    // list and forgets the chosen brand and ball, so Install asks for a ball until one is picked again.
    enum class LibraryRefresh { KeepShown, Forget };
    void refreshLibrary(LibraryRefresh how);

    // Folder of the running executable, ending in a separator (what rejestr stores as AppFolder).
    std::string programFolder() const;

    // Controls, named as in the window's layout (objectName is the same).
    PictureBox* Image1 = nullptr;
    PictureBox* Image2 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QRadioButton* rb2005 = nullptr;
    QRadioButton* rb2006 = nullptr;
    QRadioButton* rb2007 = nullptr;
    QPushButton* prevs = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QPushButton* install = nullptr;
    QRadioButton* rbn = nullptr;
    QRadioButton* rbw = nullptr;
    QRadioButton* rbnaw = nullptr;
    QCheckBox* cbinstall = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    PictureBox* Image3 = nullptr;
    QSlider* TrackBar1 = nullptr;
    QGroupBox* GroupBox4 = nullptr;
    QLabel* Label3 = nullptr;
    PictureBox* Image4 = nullptr;
    QGroupBox* GroupBox5 = nullptr;
    QLabel* Label4 = nullptr;
    PictureBox* Image5 = nullptr;
    QGroupBox* GroupBox6 = nullptr;
    QComboBox* brand = nullptr;
    PickList* lista = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QGroupBox* GroupBox7 = nullptr;
    QPushButton* settings = nullptr;
    QPushButton* about = nullptr;
    QPushButton* help = nullptr;
    QGroupBox* GroupBox8 = nullptr;
    QPushButton* add = nullptr;
    QPushButton* JvXPButton1 = nullptr;
    HiddenList* ListBox1 = nullptr;
    HiddenList* ListBox2 = nullptr;
    HiddenList* new_ = nullptr; // objectName "new"
    QLabel* Label5 = nullptr;
    QTimer* Timer1 = nullptr;

    // Preview animation: the slot drawn at the next tick (0 before any pick, then 1..3) and the
    // three decoded frames ball_71, ball_72, ball_73 of the picked ball (an empty image draws nothing).
    int PreviewFrame = 0;
    std::array<Image, 3> PreviewImages{};

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    // A folder or an archive dropped here opens the own-ball window with it chosen.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildLayout();
    void connectHandlers();
    // A version's button became checked: its folder is the game folder, when the button is enabled.
    void versionClick(std::size_t version);
    void loadLogo();
    // The ball count in Label1.
    void showBallCount(std::size_t count);
    // Puts what the library scan found into ListBox1, ListBox2, new and the shared state.
    void showScan(library::NewBallScanResult found);
    // Shows one installed ball: its frame file, name label and picture.
    void showInstalledBall(const std::string& frameRelativePath, QLabel* label, PictureBox* picture);

    AppContext& ctx_;
    bool closing_ = false;
    // What the library scans, the brand box and the ball list read, kept so that a scan at every
    // activation reads again only what changed on disk.
    library::LibraryKnowledge library_{ctx_.fs};
    // One library scan at a time: events handled during the walk may activate this window again.
    ReentryGuard scanning_;
};

} // namespace orbisto
