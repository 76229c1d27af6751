#include "install/SkinCatalogue.h"

#include "platform/FileSystem.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace orbisto::install {

// Readable failures: a listed skin prints as {folder, "name"}.
void PrintTo(const SkinEntry& skin, std::ostream* out) {
    *out << "{" << skin.folder << ", \"" << skin.displayName << "\"}";
}

} // namespace orbisto::install

namespace orbisto::test {
namespace {

using install::SkinEntry;

class SkinCatalogueTest : public ::testing::Test {
protected:
    // A skin folder whose description file, named after the folder, holds `children` below its root.
    void makeSkin(const std::string& folder, const std::string& children) {
        writeFile(skins() / folder / (folder + ".xml"),
                  "<?xml version=\"1.0\"?>\n<record>\n" + children + "\n</record>\n");
    }
    static std::string entry(const std::string& id, const std::string& value) {
        return "<string id=\"" + id + "\" value=\"" + value + "\"/>";
    }
    static std::string listed(const std::string& name) { return entry("name", name) + entry("hnfn", "1"); }

    fs::path skins() const { return game() / "data/skins"; }
    fs::path game() const { return temp / "game"; }
    install::SkinCatalogue read() const { return install::readSkinCatalogue(platform::localFileSystem(), game()); }

    TempFolder temp;
};

TEST_F(SkinCatalogueTest, onlySkinsWithMarkerAndName_areListedInReverseScanOrder) {
    fs::create_directories(game() / "data");
    EXPECT_TRUE(read().skins.empty());
    EXPECT_TRUE(install::readSkinCatalogue(platform::localFileSystem(), fs::path()).skins.empty());
    makeSkin("A1", listed("First"));
    makeSkin("B2", entry("name", "No marker"));
    makeSkin("C3", "<!-- a comment child --><string id=\"hnfn\"/>" + entry("name", "Second"));
    makeSkin("D4", entry("hnfn", "1"));
    makeSkin("E5", entry("name", "") + entry("hnfn", "1"));
    makeSkin("F6", entry("HNFN", "1") + entry("name", "Wrong case"));
    makeSkin("G7", entry("hnfn", "0") + entry("name", "Third"));
    makeSkin("Dotted.skin", listed("Dotted"));
    makeSkin(".Hidden", listed("Hidden"));
    fs::create_directories(skins() / "NoDescription");
    writeFile(skins() / "NoDescription/other.xml", "<record>" + listed("Other") + "</record>");
    writeFile(skins() / "PlainFile", "not a folder");
    fs::create_directories(skins() / "H8/H8.xml"); // a folder under the description's name
#ifndef _WIN32
    fs::create_directories(skins() / "I9");
    ASSERT_EQ(::mkfifo((skins() / "I9/I9.xml").c_str(), 0600), 0); // a pipe, never waited on
#endif

    const auto catalogue = read();

    EXPECT_EQ(catalogue.skins, (std::vector<SkinEntry>{{"G7", "Third"}, {"C3", "Second"}, {"A1", "First"}}));
    EXPECT_TRUE(catalogue.errors.empty());
}

TEST_F(SkinCatalogueTest, displayName_isCutAtTheFirstBracketOutsideQuotes) {
    makeSkin("A1", listed("Title [remark]"));
    makeSkin("B2", listed("[Inner] part[x]"));
    makeSkin("C3", listed("Bob's [new] look"));
    makeSkin("D4", entry("name", "Early") + entry("hnfn", "") + entry("name", "Late [v2]"));
    makeSkin("E5", listed("["));
    makeSkin("F6", listed("[[["));

    EXPECT_EQ(read().skins, (std::vector<SkinEntry>{
                                {"D4", "Late "}, {"C3", "Bob's [new] look"}, {"B2", "Inner] part"}, {"A1", "Title "}}));
}

TEST_F(SkinCatalogueTest, unreadableDescriptions_areSkippedWithOneErrorEach) {
    makeSkin("A1", listed("Good one"));
    writeFile(skins() / "B2/B2.xml", "<record><string id=\"name\" value=\"Broken\"></record>");
    makeSkin("C3", "<string id=\"name\"/>" + entry("hnfn", "1"));
    makeSkin("D4", listed("Good two"));
    writeFile(skins() / "E5/E5.xml", "<!-- only a comment -->");

    const auto catalogue = read();

    EXPECT_EQ(catalogue.skins, (std::vector<SkinEntry>{{"D4", "Good two"}, {"A1", "Good one"}}));
    ASSERT_EQ(catalogue.errors.size(), 3u);
    EXPECT_NE(catalogue.errors[0].find("\"E5\""), std::string::npos) << catalogue.errors[0];
    EXPECT_NE(catalogue.errors[1].find("\"C3\""), std::string::npos) << catalogue.errors[1];
    EXPECT_NE(catalogue.errors[1].find("\"value\""), std::string::npos) << catalogue.errors[1];
    EXPECT_NE(catalogue.errors[2].find("\"B2\""), std::string::npos) << catalogue.errors[2];
}

} // namespace
} // namespace orbisto::test
