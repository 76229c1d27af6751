#include "app/UserInterface.h"
#include "library/ArchiveImport.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QScreen>

namespace orbisto {

namespace {

void showBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text) {
    QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

class QtCopyProgressWindow : public CopyProgressWindow {
public:
    explicit QtCopyProgressWindow(QWidget* owner) : dialog_(owner) {
        dialog_.setWindowTitle(QStringLiteral("Trwa kopiowanie"));
        dialog_.setLabelText(QString());
        dialog_.setWindowModality(Qt::WindowModal);
        dialog_.setMinimumDuration(0);
        dialog_.setAutoClose(false);
        dialog_.setAutoReset(false);
    }

    bool advance(std::size_t done, std::size_t total) override {
        dialog_.setMaximum(static_cast<int>(total));
        dialog_.setValue(static_cast<int>(done));
        QApplication::processEvents();
        return !dialog_.wasCanceled();
    }

private:
    QProgressDialog dialog_;
};

// The folder chooser "Select Directory", starting in the working folder. A typed folder that does
// not exist is created with its parents once the user agrees; "No" keeps the chooser open.
class FolderChooser : public QFileDialog {
public:
    explicit FolderChooser(QWidget* parent)
        : QFileDialog(parent, QStringLiteral("Select Directory"), QDir::currentPath()) {
        setFileMode(QFileDialog::Directory);
        setOption(QFileDialog::ShowDirsOnly, true);
        setOption(QFileDialog::DontUseNativeDialog, true);
    }

protected:
    void accept() override {
        const QStringList chosen = selectedFiles();
        if (chosen.isEmpty() || QFileInfo(chosen.first()).isDir()) {
            QFileDialog::accept();
            return;
        }
        const QString folder = chosen.first();
        const auto answer = QMessageBox::question(this, QStringLiteral("Confirm"),
                                                  QStringLiteral("The specified directory does not exist. Create it?"),
                                                  QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes) {
            return;
        }
        if (!QDir().mkpath(folder)) {
            QMessageBox::critical(
                this, QString::fromLatin1(kApplicationTitle),
                QStringLiteral("The folder %1 cannot be created.").arg(QDir::toNativeSeparators(folder)));
            return;
        }
        QFileDialog::accept();
    }
};

class QtUserInterface : public UserInterface {
public:
    void information(QWidget*, const QString& text) override {
        // Centred on the screen, as the program's messages are.
        showBox(nullptr, QMessageBox::Information, QStringLiteral("Information"), text);
    }
    void plainMessage(QWidget* parent, const QString& text) override {
        showBox(parent, QMessageBox::NoIcon, QString::fromLatin1(kApplicationTitle), text);
    }
    void error(QWidget* parent, const QString& text) override {
        showBox(parent, QMessageBox::Critical, QString::fromLatin1(kApplicationTitle), text);
    }
    void showModal(QDialog& dialog) override { dialog.exec(); }

    std::optional<QString> chooseFolder(QWidget* parent) override {
        FolderChooser dialog(parent);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return std::nullopt;
        }
        return dialog.selectedFiles().first();
    }

    std::optional<QString> chooseArchive(QWidget* parent) override {
        const QString file = QFileDialog::getOpenFileName(
            parent, QString::fromLatin1(kApplicationTitle), QDir::currentPath(),
            QStringLiteral("Archives (%1)").arg(QString::fromStdString(library::archiveFilePatterns())));
        return file.isEmpty() ? std::nullopt : std::optional<QString>(file);
    }

    std::optional<int> chooseItem(QWidget* parent, const QString& prompt, const QStringList& items) override {
        bool ok = false;
        const QString item =
            QInputDialog::getItem(parent, QString::fromLatin1(kApplicationTitle), prompt, items, 0, false, &ok);
        return ok ? std::optional<int>(static_cast<int>(items.indexOf(item))) : std::nullopt;
    }

    std::unique_ptr<CopyProgressWindow> openCopyProgress(QWidget* owner) override {
        return std::make_unique<QtCopyProgressWindow>(owner);
    }

    void shellOpen(const std::string& target, bool maximized) override { platform::shellOpen(target, maximized); }
};

} // namespace

std::unique_ptr<UserInterface> makeQtUserInterface() {
    return std::make_unique<QtUserInterface>();
}

} // namespace orbisto
