#pragma once

#include "app/AppContext.h"

#include <QDialog>
#include <filesystem>
#include <functional>
#include <string>

class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace orbisto {

class PickList;
class PictureBox;

// The install-to-skin window: lists the game's skins, shows the balls a skin holds, and installs the
// ball chosen in the main window into one skin. Opened for preview only when SkinPreviewMode is "a".
class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(AppContext& context, QWidget* parent = nullptr);
    ~TForm3() override;

    // Runs one event handler through the error guard.
    bool guard(const std::function<void()>& handler);

    // Catalogue, texts of the language in use, then the layout of the mode it is opened in.
    void FormShow();
    // Rebuilds the skin catalogue: lista (names) paired with lista3 (folders), both in reverse scan order.
    void wczytaj();
    void listaClick();
    void intall2Click();
    // Shows the normal and winter ball installed in the chosen skin ("-" when none or untagged).
    void pod();
    void lista3Click() {}
    // Resets the window for its next opening: no pictures, empty labels, Install shown.
    void FormClose();

    void done(int result) override;

    std::string ChosenSkinName;
    std::string ChosenSkinFolder;

    QGroupBox* GroupBox311 = nullptr;
    QPushButton* intall2 = nullptr;
    PickList* lista = nullptr;
    QGroupBox* GroupBox123 = nullptr;
    QLabel* Label1 = nullptr;
    PictureBox* Image1 = nullptr;
    QGroupBox* GroupBox23 = nullptr;
    QLabel* Label2 = nullptr;
    PictureBox* Image2 = nullptr;
    QListWidget* lista2 = nullptr;
    QListWidget* lista3 = nullptr;
    QListWidget* lista10 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildLayout();
    // Shows one installed ball of the skin: its frame's tag in the label, the frame in the picture.
    void showSkinBall(const std::filesystem::path& frame, QLabel* label, PictureBox* picture);

    AppContext& ctx_;
};

} // namespace orbisto
