#include "support/GuiFixture.h"

#include "app/Application.h"
#include "app/CoreText.h"
#include "app/TForm1.h"
#include "app/Widgets.h"
#include "platform/FileSystem.h"
#include "platform/SettingsStore.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QListWidget>
#include <QTest>

namespace orbisto::test {

QStringList items(const QListWidget& list) {
    QStringList texts;
    for (int i = 0; i < list.count(); ++i) {
        texts << list.item(i)->text();
    }
    return texts;
}

void pick(QListWidget& list, int row) {
    QListWidgetItem* item = list.item(row);
    QVERIFY2(item != nullptr, qPrintable(QStringLiteral("no row %1 in %2").arg(row).arg(list.objectName())));
    list.scrollToItem(item);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(item).center());
}

void pick(QListWidget& list, const QString& text) {
    const auto found = list.findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(QStringLiteral("no %1 in %2").arg(text, list.objectName())));
    pick(list, list.row(found.first()));
}

namespace {

// A click on the box's item at `index` in its drop-down.
void pickIndex(QComboBox& box, int index) {
    box.setFocus(Qt::MouseFocusReason); // as a click on its arrow does
    box.showPopup();
    QAbstractItemView* view = box.view();
    const QModelIndex item = view->model()->index(index, box.modelColumn());
    view->scrollTo(item);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
    QVERIFY2(!view->isVisible(), "the drop-down did not take the click");
}

} // namespace

void pick(QComboBox& box, const QString& text) {
    const int index = box.findText(text, Qt::MatchExactly);
    QVERIFY2(index >= 0, qPrintable(QStringLiteral("no %1 in %2").arg(text, box.objectName())));
    pickIndex(box, index);
}

void pickName(QComboBox& box, std::string_view name) {
    const int index = findCoreItem(box, name);
    QVERIFY2(index >= 0, qPrintable(QStringLiteral("no %1 in %2").arg(shownText(name), box.objectName())));
    pickIndex(box, index);
}

void pickName(QListWidget& list, std::string_view name) {
    for (int row = 0; row < list.count(); ++row) {
        if (coreText(*list.item(row)) == name) {
            pick(list, row);
            return;
        }
    }
    QFAIL(qPrintable(QStringLiteral("no %1 in %2").arg(shownText(name), list.objectName())));
}

std::vector<std::string> names(const QListWidget& list) {
    std::vector<std::string> kept;
    for (int row = 0; row < list.count(); ++row) {
        kept.push_back(coreText(*list.item(row)));
    }
    return kept;
}

QStringList items(const HiddenList& list) {
    return list.items();
}

QStringList items(const QComboBox& box) {
    QStringList texts;
    for (int i = 0; i < box.count(); ++i) {
        texts << box.itemText(i);
    }
    return texts;
}

GuiFixture::GuiFixture() {
    fs::create_directories(appFolder());
    fs::create_directories(workingFolder());
    settings = platform::makeRegistryFileStore(settingsFolder());
    context = std::make_unique<AppContext>(
        AppContext{*settings, platform::localFileSystem(), ui, appFolder() / "orbisto", workingFolder()});
    fs::create_directories(tempFolder());
    context->tempFolder = tempFolder();
}

GuiFixture::~GuiFixture() {
    windows.reset();
}

fs::path GuiFixture::makeGame(const std::string& name, bool withWinter) const {
    const fs::path game = temp / "games" / name;
    fs::create_directories(game / "data/graphics/pitch/balls");
    if (withWinter) {
        fs::create_directories(game / "data/graphics/pitch/balls/winter");
    }
    return game;
}

void GuiFixture::installShippedLanguages() const {
    fs::create_directories(appFolder() / "Languages");
    fs::copy(fs::path(ORBISTO_SOURCE_DIR) / "data/Languages", appFolder() / "Languages",
             fs::copy_options::overwrite_existing | fs::copy_options::recursive);
}

void GuiFixture::storeMachine(const std::string& key, const std::string& name, const std::string& value) {
    settings->writeText(platform::Hive::LocalMachine, key, name, value);
}

void GuiFixture::storeUser(const std::string& key, const std::string& name, const std::string& value) {
    settings->writeText(platform::Hive::CurrentUser, key, name, value);
}

void GuiFixture::refuseSettingsWrites() const {
    fs::remove_all(settingsFolder());
    writeFile(settingsFolder(), std::string_view("not a folder"));
}

TForm1& GuiFixture::start() {
    windows = std::make_unique<Windows>(*context);
    return windows->main();
}

TForm1& GuiFixture::main() {
    return windows->main();
}

} // namespace orbisto::test
