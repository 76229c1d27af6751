#pragma once

#include "app/AppContext.h"

#include <QDialog>
#include <cstddef>
#include <functional>
#include <string>

class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QShowEvent;

namespace orbisto {

class PickList;

// The settings window: picks and applies the language, and sets the folders of the game versions
// (a changed folder is stored and the program then ends, so the next start reads it).
class TForm4 : public QDialog {
    Q_OBJECT
public:
    explicit TForm4(AppContext& context, QWidget* parent = nullptr);
    ~TForm4() override;

    // Runs one event handler through the error guard.
    bool guard(const std::function<void()>& handler);

    // Once, at construction: the folder labels and the current language's name and translator.
    void FormCreate();
    // At every opening: this window's texts, "Change" disabled until a language is picked, the list.
    void FormShow();
    // Adds the name of every language file to ListBox1 (the main window empties it after closing).
    void lang();
    void ListBox1Click();
    // Applies the picked language: main window, messages, stored setting, this window.
    void ListBox1DblClick();
    void JvXPButton1Click();
    // The "..." buttons of FM 2005, FM 2006 and FM 2007.
    void JvXPButton2Click();
    void JvXPButton3Click();
    void JvXPButton4Click();

    // The language last picked in the list; kept across openings.
    std::string SelectedLanguage;

    QGroupBox* GroupBox1 = nullptr;
    PickList* ListBox1 = nullptr;
    QPushButton* JvXPButton1 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label4 = nullptr;
    QGroupBox* GroupBox31 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* label11 = nullptr;
    QPushButton* JvXPButton2 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* label12 = nullptr;
    QPushButton* JvXPButton3 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* label13 = nullptr;
    QPushButton* JvXPButton4 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildLayout();
    void connectHandlers();
    // The current language name, held by the main window's hidden Label5.
    std::string currentLanguage() const;
    // Label3 and Label4: display name and translator of a language.
    void showLanguageInfo(const std::string& language);
    // Stores a chosen folder as the version's fall-back folder, shows it and ends the program.
    void changeFolder(std::size_t version, QLabel* folderLabel);

    AppContext& ctx_;
};

} // namespace orbisto
