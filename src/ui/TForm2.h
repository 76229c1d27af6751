#pragma once

#include "app/AppContext.h"
#include "app/EventPump.h"
#include "library/TaggingTool.h"

#include <QDialog>
#include <functional>
#include <string>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace orbisto {

// The service window: marks and tags a whole library folder in one go. Its texts are fixed.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(AppContext& context, QWidget* parent = nullptr);
    ~TForm2() override;

    // Runs one event handler through the error guard.
    bool guard(const std::function<void()>& handler);

    // "Open": choose the library folder.
    void JvXPButton1Click();
    // "Make!": mark every brand and ball of the folder and tag every frame, then report the count.
    void JvXPButton2Click();

    // The folder chosen with "Open"; kept between showings.
    std::string TaggingFolder;
    // "1" when cb was checked at the start of the last run of "Make!", else "0".
    std::string NewValue;

    QPushButton* JvXPButton1 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* JvXPButton2 = nullptr;
    QCheckBox* cb = nullptr;
    QListWidget* ListBox1 = nullptr; // brands found
    QListWidget* ListBox2 = nullptr; // balls found
    QListWidget* ListBox3 = nullptr; // frame files tagged

private:
    void buildLayout();
    // Empties the three lists; the report fills them as the walk goes, letting the GUI show them now and then.
    library::TaggingReport emptiedLists(EventPump& pump);

    AppContext& ctx_;
    // One walk at a time: the walk handles events meanwhile.
    ReentryGuard tagging_;
};

} // namespace orbisto
