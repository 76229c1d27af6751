// The settings store: text values read and written with the registry's rules.
#include "contract/Host.h"
#include "platform/Errors.h"
#include "platform/SettingsStore.h"

#include <cctype>
#include <gtest/gtest.h>

namespace orbisto::platform {
namespace {

class SharedRegistry : public ::testing::Test {
protected:
    std::unique_ptr<test::host::Settings> settings = test::host::makeSettings();
    SettingsStore& store = settings->store();
    const std::string root = settings->root();
    const std::string key = root + "\\Football Manager 2006";

    std::string typeErrorOf(Hive hive, std::string_view valueName) {
        try {
            store.readText(hive, key, valueName);
        } catch (const SettingsTypeError& error) {
            return error.what();
        }
        return "<no error>";
    }
};

TEST_F(SharedRegistry, missingKeysAndValuesReadAsEmptyAndCreateNothing) {
    for (const Hive hive : {Hive::CurrentUser, Hive::LocalMachine}) {
        EXPECT_EQ(store.readText(hive, key, "Path"), "");
        EXPECT_EQ(store.readText(hive, root, ""), "");
        EXPECT_FALSE(settings->anythingStored(hive));
    }
    store.writeText(Hive::CurrentUser, key, "Path", "C:\\Games\\FM 2006");
    EXPECT_EQ(store.readText(Hive::CurrentUser, key, "Missing"), "");
    EXPECT_EQ(store.readText(Hive::CurrentUser, root, "Path"), "");
    EXPECT_EQ(store.readText(Hive::LocalMachine, key, "Path"), "");
    EXPECT_FALSE(settings->anythingStored(Hive::LocalMachine));
}

TEST_F(SharedRegistry, writtenTextIsReadBackIgnoringCaseAndKeepsTheFirstSpelling) {
    store.writeText(Hive::LocalMachine, "\\" + key, "Version", "2006");
    EXPECT_EQ(settings->reopened()->readText(Hive::LocalMachine, key, "Version"), "2006");
    EXPECT_EQ(store.readText(Hive::CurrentUser, key, "Version"), "");

    std::string shouted = key;
    for (char& c : shouted) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    store.writeText(Hive::LocalMachine, shouted, "VERSION", "2005");
    const std::string text = "C:\\Games\\\"FM\"\n\tend; [x] = 'y'";
    store.writeText(Hive::LocalMachine, key, "Language", text);
    store.writeText(Hive::LocalMachine, key, "", "default value");
    store.writeText(Hive::LocalMachine, key, "Empty", "");
    const auto reread = settings->reopened();
    EXPECT_EQ(reread->readText(Hive::LocalMachine, key + "\\", "version"), "2005");
    EXPECT_EQ(reread->readText(Hive::LocalMachine, key, "Language"), text);
    EXPECT_EQ(reread->readText(Hive::LocalMachine, key, ""), "default value");
    EXPECT_EQ(reread->readText(Hive::LocalMachine, key, "Empty"), "");
}

TEST_F(SharedRegistry, valuesOfOtherTypesRaiseTheTypeErrorAndExpandableTextIsText) {
    settings->storeTypedValues(Hive::CurrentUser, key);
    for (const std::string name : {"Count", "binary", "Multi"}) {
        EXPECT_EQ(typeErrorOf(Hive::CurrentUser, name), "Invalid data type for '" + name + "'");
    }
    EXPECT_EQ(store.readText(Hive::CurrentUser, key, "Expand"), "%TEMP%\\x"); // read as stored, not expanded
}

TEST_F(SharedRegistry, aRefusedWriteRaisesAndChangesNothing) {
    const std::string blocked = root + "\\Blocked";
    settings->refuseWritesBelow(Hive::LocalMachine, blocked);
    try {
        store.writeText(Hive::LocalMachine, blocked + "\\Orbisto", "Version", "1");
        FAIL() << "expected SettingsWriteError";
    } catch (const SettingsWriteError& error) {
        EXPECT_STREQ(error.what(), "Failed to set data for 'Version'");
    }
    EXPECT_EQ(store.readText(Hive::LocalMachine, blocked + "\\Orbisto", "Version"), "");
}

} // namespace
} // namespace orbisto::platform
