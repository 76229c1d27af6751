#include "platform/ArchiveReader.h"

#include "support/ArchiveMaker.h"

#include <gtest/gtest.h>

using namespace orbisto;
using orbisto::platform::ArchiveReader;
using orbisto::platform::ArchiveReadError;
using orbisto::test::ArchiveFormat;
using Made = orbisto::test::ArchiveEntry;

namespace {

std::vector<std::uint8_t> bytesOf(std::string_view text) {
    return {text.begin(), text.end()};
}

// The whole data of the current entry, read a few bytes at a time.
std::string dataOf(ArchiveReader& reader) {
    std::string data;
    std::array<std::uint8_t, 3> buffer{};
    while (const std::size_t got = reader.read(buffer)) {
        data.append(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(got));
    }
    return data;
}

} // namespace

// Headers tell a plain file from every other kind; data left unread is passed over by the next header.
TEST(ArchiveReaderTest, headersTellPlainFilesAndDataIsReadOrPassedOver) {
    const auto tar = test::makeArchive(ArchiveFormat::TarGz,
                                       {Made("Comet/", {}, Made::Type::Folder), Made("Comet/a.png", bytesOf("first")),
                                        Made("Comet/link.png", {}, Made::Type::Symlink, "a.png"),
                                        Made("Comet/hard.png", {}, Made::Type::Hardlink, "Comet/a.png"),
                                        Made("Comet/b.png", bytesOf("second file")), Made("Comet/c.png", bytesOf("x"))});
    ArchiveReader reader(tar);
    std::vector<std::pair<std::string, bool>> seen;
    std::string data;
    while (const auto entry = reader.next()) {
        ASSERT_TRUE(entry->path);
        seen.emplace_back(*entry->path, entry->plainFile);
        EXPECT_FALSE(entry->encrypted);
        if (*entry->path == "Comet/b.png") {
            EXPECT_EQ(entry->size, 11u);
            data = dataOf(reader);
        } else if (*entry->path == "Comet/a.png") {
            std::array<std::uint8_t, 2> start{};
            EXPECT_EQ(reader.read(start), 2u); // the rest is left for the next header to pass over
        }
    }
    const std::vector<std::pair<std::string, bool>> expected{{"Comet/", false},        {"Comet/a.png", true},
                                                             {"Comet/link.png", false}, {"Comet/hard.png", false},
                                                             {"Comet/b.png", true},     {"Comet/c.png", true}};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(data, "second file");
    EXPECT_GT(reader.packedBytesRead(), 0u);
    EXPECT_FALSE(reader.next()); // and stays at the end
}

TEST(ArchiveReaderTest, unreadableAndEncryptedArchivesRaiseWhichTheyAre) {
    EXPECT_THROW(ArchiveReader(std::span<const std::uint8_t>{}), ArchiveReadError);
    const auto text = bytesOf("no archive at all\n");
    try {
        ArchiveReader reader(text);
        reader.next();
        FAIL() << "text read as an archive";
    } catch (const ArchiveReadError& e) {
        EXPECT_FALSE(e.encrypted());
    }

    const auto zip = test::makeArchive(ArchiveFormat::Zip, {Made("a.png", bytesOf("secret data"))}, "passphrase");
    ArchiveReader reader(zip);
    const auto entry = reader.next();
    ASSERT_TRUE(entry);
    EXPECT_TRUE(entry->encrypted);
    std::array<std::uint8_t, 16> buffer{};
    try {
        reader.read(buffer);
        FAIL() << "encrypted data read without a passphrase";
    } catch (const ArchiveReadError& e) {
        EXPECT_TRUE(e.encrypted());
    }
}
