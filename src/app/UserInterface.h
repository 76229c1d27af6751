#pragma once

#include <QString>
#include <QStringList>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

class QDialog;
class QWidget;

namespace orbisto {

inline constexpr const char* kApplicationTitle = "Orbisto 3.0";

// A progress window of a running copy.
class CopyProgressWindow {
public:
    virtual ~CopyProgressWindow() = default;
    // Shows `done` of `total` files copied; false once the user has cancelled.
    virtual bool advance(std::size_t done, std::size_t total) = 0;
};

// Everything that waits on the user goes through here, so tests replace it and never block:
// message boxes, modal windows, the folder chooser, the copy-progress window and shell "open".
class UserInterface {
public:
    virtual ~UserInterface() = default;

    // The program's own messages: caption "Information", information icon, one OK button, centred.
    virtual void information(QWidget* parent, const QString& text) = 0;
    // Fixed texts and numbers: caption of the application title, no icon, one OK button.
    virtual void plainMessage(QWidget* parent, const QString& text) = 0;
    // The error box: caption of the application title, error icon, one OK button.
    virtual void error(QWidget* parent, const QString& text) = 0;

    // Shows a window modally and returns when it has closed.
    virtual void showModal(QDialog& dialog) = 0;

    // The folder chooser "Select Directory". A typed folder that does not exist is created (with its
    // parents) after the user confirms. Nothing when cancelled.
    virtual std::optional<QString> chooseFolder(QWidget* parent) = 0;

    // A file chooser for an archive with a ball (zip, 7z, rar, tar with gzip, bzip2 or xz). Nothing when cancelled.
    virtual std::optional<QString> chooseArchive(QWidget* parent) = 0;
    // Lets the user pick one of `items` (shown under `prompt`); its position, or nothing when cancelled.
    virtual std::optional<int> chooseItem(QWidget* parent, const QString& prompt, const QStringList& items) = 0;

    // Opens the progress window "Trwa kopiowanie" owned by `owner`; it closes when destroyed.
    virtual std::unique_ptr<CopyProgressWindow> openCopyProgress(QWidget* owner) = 0;

    // Asks the desktop to open a document or web address, given as the core's text (a file's name
    // keeps its bytes, which a QString could not hold on Linux).
    virtual void shellOpen(const std::string& target, bool maximized) = 0;
};

// The real implementation, on Qt's dialogs.
std::unique_ptr<UserInterface> makeQtUserInterface();

} // namespace orbisto
