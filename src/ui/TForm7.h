#pragma once

#include "app/AppContext.h"
#include "app/EventPump.h"
#include "library/OwnBallSource.h"

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

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
    // Where the new ball's frames come from; declared first, as OwnBallFolder refers to it.
    library::OwnBallSource source_;

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
    // Lists the source folder's PNG files, as its check (in memory only) found them; runs whenever they change.
    void op();
    // Previews the picked file of prev.
    void prevClick();
    // "Add ball"
    void JvXPButton73Click();
    // "Open archive with ball": choose an archive, then unpack and check its ball.
    void JvXPButton74Click();
    // Finds the ball sets of an archive, asks which one when there are several, unpacks it into a
    // private temporary folder and lists that like a chosen folder, with the set's name as the ball's.
    // A refused archive gets its message and leaves the previous choice as it was (see OwnBallSource).
    void openArchive(const std::string& file);
    // The folder or archive a drop hands over; for anything else the message, and nothing.
    std::optional<std::string> droppedSource(const QMimeData& dropped);
    // Takes a folder or an archive as if chosen with its button.
    void chooseSource(const std::string& path);

    // A folder or archive to choose when the window is shown next (dropped on the main window).
    std::string PendingSource;

    // The library root (AppFolder + "balls/"), set by lad.
    std::string BallsFolder;
    // The source folder: the one last chosen with "Open folder with ball" (kept between showings), or
    // the unpacked archive's (gone with it).
    const std::string& OwnBallFolder;
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
    // Empties the brand lists and fills them again.
    void reloadBrands();
    // Re-reads the library into the main window's brand box, with no brand chosen.
    void refreshMainWindow();
    // Asks which of an archive's ball sets to unpack.
    std::optional<std::size_t> chooseBallSet(const std::vector<std::string>& setPaths);
    // Shows what taking a folder or archive came to: the suggested name, or the refusal's message.
    void showTaken(const library::SourceTaken& taken);
    // What "Add ball" reads from the controls.
    library::NewBallInput newBallInput() const;

    AppContext& ctx_;
    // One ball added at a time: the copy handles events meanwhile.
    ReentryGuard adding_;
};

} // namespace orbisto
