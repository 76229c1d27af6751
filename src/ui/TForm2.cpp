#include "ui/TForm2.h"

#include "app/CoreText.h"
#include "app/Guard.h"
#include "app/UserInterface.h"
#include "app/Widgets.h"
#include "library/TaggingTool.h"
#include "platform/PathText.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace orbisto {

TForm2::TForm2(AppContext& context, QWidget* parent) : QDialog(parent), ctx_(context) {
    ctx_.forms.form2 = this;
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral(">>service form<<"));
    buildLayout();

    connect(JvXPButton1, &QPushButton::clicked, this, [this] { guard([this] { JvXPButton1Click(); }); });
    connect(JvXPButton2, &QPushButton::clicked, this, [this] { guard([this] { JvXPButton2Click(); }); });
}

TForm2::~TForm2() {
    if (ctx_.forms.form2 == this) {
        ctx_.forms.form2 = nullptr;
    }
}

void TForm2::buildLayout() {
    resize(515, 267);
    JvXPButton1 = named(new QPushButton(QStringLiteral("Open"), this), "JvXPButton1");
    Label1 = named(new QLabel(QStringLiteral("path"), this), "Label1");
    JvXPButton2 = named(new QPushButton(QStringLiteral("Make!"), this), "JvXPButton2");
    cb = named(new QCheckBox(QStringLiteral("cb"), this), "cb");
    ListBox1 = named(new QListWidget(this), "ListBox1");
    ListBox2 = named(new QListWidget(this), "ListBox2");
    ListBox3 = named(new QListWidget(this), "ListBox3");

    auto* controls = new QHBoxLayout;
    controls->addWidget(JvXPButton1);
    controls->addWidget(Label1, 1);
    controls->addWidget(JvXPButton2);
    controls->addWidget(cb);
    auto* lists = new QHBoxLayout;
    lists->addWidget(ListBox1);
    lists->addWidget(ListBox2);
    lists->addWidget(ListBox3);
    auto* window = new QVBoxLayout(this);
    window->addLayout(controls);
    window->addLayout(lists, 1);
}

bool TForm2::guard(const std::function<void()>& handler) {
    return runGuarded(ctx_.ui, this, handler);
}

void TForm2::JvXPButton1Click() {
    const std::optional<QString> folder = ctx_.ui.chooseFolder(this);
    if (!folder) {
        return;
    }
    TaggingFolder = typedText(*folder);
    Label1->setText(*folder);
}

void TForm2::JvXPButton2Click() {
    if (TaggingFolder.empty()) {
        ctx_.ui.plainMessage(this, QStringLiteral("Choose the library folder with \"Open\" first."));
        return;
    }
    const ReentryGuard::Run run = tagging_.enter({JvXPButton1, JvXPButton2});
    if (!run) {
        return;
    }
    NewValue = cb->isChecked() ? "1" : "0";
    EventPump pump;
    const std::size_t tagged =
        library::tagLibrary(ctx_.fs, platform::toPath(TaggingFolder), NewValue == "1", emptiedLists(pump));
    ctx_.ui.plainMessage(this, QString::number(tagged));
    ctx_.ui.plainMessage(this, QStringLiteral("Gotowe"));
}

library::TaggingReport TForm2::emptiedLists(EventPump& pump) {
    const auto appendTo = [&pump](QListWidget* list) {
        list->clear();
        return [list, &pump](const std::string& name) {
            addCoreItem(*list, name);
            pump();
        };
    };
    return {appendTo(ListBox1), appendTo(ListBox2), appendTo(ListBox3)};
}

} // namespace orbisto
