#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/AppContext.h"
#include "app/EventPump.h"
#include "library/ArchiveImport.h"
#include "library/OwnBall.h"

class QComboBox;
class QDragEnterEvent;
class QDropEvent;
class QHideEvent;
class QMimeData;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QShowEvent;

namespace orbisto {

class PickList;
class PictureBox;

// The own-ball window: checks a folder of frames and adds it to the library as a tagged, marked
// ball; adds new, empty brands.
class TForm7 : public QDialog {
    Q_OBJECT
public:
    explicit TForm7(AppContext& context, QWidget* parent = nullptr);
    ~TForm7() override;

    // Runs one event handler through the error guard.
    bool guard(const std::function<void()>& handler);

    // Every showing: window texts of the language in use, emptied lists, the frame names, the brands.
    void FormShow();
    // Lists the library's brands in ListBox1 and ComboBox1.
    void lad();
    // "Add brand"
    void JvXPButton71Click();
    // "Open folder with ball": choose the source folder, then check it.
    void JvXPButton72Click();
    // Lists the source folder's PNG files and checks them against the frame names, in memory only.
    void op();
    // Previews the picked file of prev.
    void prevClick();
    // "Add ball"
    void JvXPButton73Click();
    // "Open archive with ball": choose an archive, then unpack and check its ball.
    void JvXPButton74Click();
    // Finds the ball sets of an archive, asks which one when there are several, unpacks it into a
    // private temporary folder and lists that like a chosen folder, with the set's name as the ball's.
    // A refused archive gets its message and leaves the previous choice as it was.
    void openArchive(const std::string& file);
    // The folder or archive a drop hands over; for anything else the message, and nothing.
    std::optional<std::string> droppedSource(const QMimeData& dropped);
    // Takes a folder or an archive as if chosen with its button.
    void chooseSource(const std::string& path);

    // A folder or archive to choose when the window is shown next (dropped on the main window).
    std::string PendingSource;

    // The library root (AppFolder + "balls/"), set by lad.
    std::string BallsFolder;
    // The folder last chosen with "Open folder with ball"; kept between showings.
    std::string OwnBallFolder;
    // The ball name the last archive suggested into Edit1, byte for byte: used while Edit1 shows it.
    std::string SuggestedName;

    QGroupBox* Group7Box1 = nullptr;
    QPushButton* JvXPButton72 = nullptr;
    QLabel* Label71 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLabel* Label72 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    PickList* prev = nullptr;
    QGroupBox* Group7Box3 = nullptr;
    PictureBox* Image1 = nullptr;
    QPushButton* JvXPButton73 = nullptr;
    QPushButton* JvXPButton74 = nullptr;
    QGroupBox* Group7Box2 = nullptr;
    QLabel* Label73 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QPushButton* JvXPButton71 = nullptr;
    QListWidget* ListBox4 = nullptr; // hidden: the 21 frame names
    QListWidget* ListBox1 = nullptr; // hidden: the listed brands

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildLayout();
    void inform(const std::string& text);
    std::vector<std::string> listedBrands() const;
    // Re-reads the library into the main window's brand box, with no brand chosen.
    void refreshMainWindow();
    // Removes the unpacked archive, and its frames from the list when they are the chosen ones.
    void discardUnpacked();

    AppContext& ctx_;
    // Result of the last check of OwnBallFolder.
    library::SourceFolderCheck check_;
    // The ball set unpacked from the archive last opened; gone after "Add ball" and on closing.
    std::unique_ptr<library::UnpackedBall> unpacked_;
    // One ball added at a time: the copy handles events meanwhile.
    ReentryGuard adding_;
};

} // namespace orbisto
