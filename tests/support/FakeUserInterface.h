#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/UserInterface.h"

namespace orbisto::test {

// The user-interface seam for tests: records every box, modal window, folder choice, copy and
// shell "open", and answers from queues. Nothing ever waits for a person.
class FakeUserInterface : public UserInterface {
public:
    enum class Kind { Information, Plain, Error };
    struct Message {
        Kind kind;
        QString text;
    };

    void information(QWidget* parent, const QString& text) override;
    void plainMessage(QWidget* parent, const QString& text) override;
    void error(QWidget* parent, const QString& text) override;
    // "Opens" the window: shows it, runs `onModal` (if set) while it is open, then closes it.
    void showModal(QDialog& dialog) override;
    // Answers from `folderAnswers` (front first); nothing (a cancel) when the queue is empty.
    std::optional<QString> chooseFolder(QWidget* parent) override;
    // Answers from `archiveAnswers` (front first); nothing (a cancel) when the queue is empty.
    std::optional<QString> chooseArchive(QWidget* parent) override;
    // Records the prompt and items; answers from `itemAnswers` (front first), a cancel when it is empty.
    std::optional<int> chooseItem(QWidget* parent, const QString& prompt, const QStringList& items) override;
    // A progress window that reports a cancel once `cancelCopyAfter` files are done (never when negative).
    std::unique_ptr<CopyProgressWindow> openCopyProgress(QWidget* owner) override;
    // Records the target as shown (decoded as UTF-8).
    void shellOpen(const std::string& target, bool maximized) override;

    QStringList texts(Kind kind) const;
    QStringList informations() const { return texts(Kind::Information); }
    QStringList plains() const { return texts(Kind::Plain); }
    QStringList errors() const { return texts(Kind::Error); }
    void clear();

    std::vector<Message> messages;
    QStringList modalsShown; // objectName of every window shown modally, in order
    std::function<void(QDialog&)> onModal;
    std::deque<std::optional<QString>> folderAnswers;
    int folderRequests = 0;
    std::deque<std::optional<QString>> archiveAnswers;
    std::deque<std::optional<int>> itemAnswers;
    std::vector<std::pair<QString, QStringList>> itemChoices; // prompt and items of every choice asked
    int cancelCopyAfter = -1;
    int copyWindowsOpened = 0;
    std::vector<std::pair<QString, bool>> shellOpened;
    std::vector<std::string> shellTargets; // the same targets, byte for byte
};

} // namespace orbisto::test
