#include "support/GuiFixture.h"

#include <QListWidget>

#include "app/Application.h"
#include "app/TForm1.h"
#include "app/Widgets.h"
#include "platform/FileSystem.h"
#include "platform/SettingsStore.h"

namespace orbisto::test {

QStringList items(const QListWidget& list) {
    QStringList texts;
    for (int i = 0; i < list.count(); ++i) {
        texts << list.item(i)->text();
    }
    return texts;
}

QStringList items(const HiddenList& list) {
    return list.items();
}

GuiFixture::GuiFixture() {
    fs::create_directories(appFolder());
    fs::create_directories(workingFolder());
    settings = platform::makeRegistryFileStore(settingsFolder());
    context = std::make_unique<AppContext>(AppContext{*settings, platform::localFileSystem(), ui,
                                                      appFolder() / "orbisto", workingFolder()});
}

GuiFixture::~GuiFixture() { windows.reset(); }

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

TForm1& GuiFixture::start() {
    windows = std::make_unique<Windows>(*context);
    return windows->main();
}

TForm1& GuiFixture::main() { return windows->main(); }

} // namespace orbisto::test
