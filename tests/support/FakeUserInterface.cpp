#include "support/FakeUserInterface.h"

#include <QDialog>

namespace orbisto::test {

namespace {

class FakeCopyProgress : public CopyProgressWindow {
public:
    explicit FakeCopyProgress(int cancelAfter) : cancelAfter_(cancelAfter) {}
    bool advance(std::size_t done, std::size_t) override {
        return cancelAfter_ < 0 || done < static_cast<std::size_t>(cancelAfter_);
    }

private:
    int cancelAfter_;
};

} // namespace

void FakeUserInterface::information(QWidget*, const QString& text) { messages.push_back({Kind::Information, text}); }
void FakeUserInterface::plainMessage(QWidget*, const QString& text) { messages.push_back({Kind::Plain, text}); }
void FakeUserInterface::error(QWidget*, const QString& text) { messages.push_back({Kind::Error, text}); }

void FakeUserInterface::showModal(QDialog& dialog) {
    modalsShown << dialog.objectName();
    dialog.show();
    if (onModal) {
        onModal(dialog);
    }
    dialog.close();
}

std::optional<QString> FakeUserInterface::chooseFolder(QWidget*) {
    ++folderRequests;
    if (folderAnswers.empty()) {
        return std::nullopt;
    }
    auto answer = folderAnswers.front();
    folderAnswers.pop_front();
    return answer;
}

std::optional<QString> FakeUserInterface::chooseArchive(QWidget*) {
    if (archiveAnswers.empty()) {
        return std::nullopt;
    }
    auto answer = archiveAnswers.front();
    archiveAnswers.pop_front();
    return answer;
}

std::optional<int> FakeUserInterface::chooseItem(QWidget*, const QString& prompt, const QStringList& items) {
    itemChoices.emplace_back(prompt, items);
    if (itemAnswers.empty()) {
        return std::nullopt;
    }
    auto answer = itemAnswers.front();
    itemAnswers.pop_front();
    return answer;
}

std::unique_ptr<CopyProgressWindow> FakeUserInterface::openCopyProgress(QWidget*) {
    ++copyWindowsOpened;
    return std::make_unique<FakeCopyProgress>(cancelCopyAfter);
}

void FakeUserInterface::shellOpen(const std::string& target, bool maximized) {
    shellOpened.emplace_back(QString::fromStdString(target), maximized);
    shellTargets.push_back(target);
}

QStringList FakeUserInterface::texts(Kind kind) const {
    QStringList result;
    for (const Message& message : messages) {
        if (message.kind == kind) {
            result << message.text;
        }
    }
    return result;
}

void FakeUserInterface::clear() {
    messages.clear();
    modalsShown.clear();
    shellOpened.clear();
    shellTargets.clear();
    itemChoices.clear();
}

} // namespace orbisto::test
