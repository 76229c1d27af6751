#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "app/AppContext.h"
#include "library/OwnBall.h"

class QComboBox;
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

    // The library root (AppFolder + "balls/"), set by lad.
    std::string BallsFolder;
    // The folder last chosen with "Open folder with ball"; kept between showings.
    std::string OwnBallFolder;

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
    QGroupBox* Group7Box2 = nullptr;
    QLabel* Label73 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QPushButton* JvXPButton71 = nullptr;
    QListWidget* ListBox4 = nullptr; // hidden: the 21 frame names
    QListWidget* ListBox1 = nullptr; // hidden: the listed brands

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildLayout();
    void inform(const std::string& text);
    std::vector<std::string> listedBrands() const;
    // Re-reads the library into the main window's brand box, with no brand chosen.
    void refreshMainWindow();

    AppContext& ctx_;
    // Result of the last check of OwnBallFolder.
    library::SourceFolderCheck check_;
};

} // namespace orbisto
