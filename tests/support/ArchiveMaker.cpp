#include "support/ArchiveMaker.h"

#include "library/Library.h"
#include "support/TempFolder.h"

#include <archive.h>
#include <archive_entry.h>
#include <memory>
#include <stdexcept>

namespace orbisto::test {

namespace {

void check(archive* writer, int status) {
    if (status < ARCHIVE_WARN) {
        throw std::runtime_error(std::string("libarchive: ") + archive_error_string(writer));
    }
}

std::string upper(std::string name) {
    name[0] = 'B';
    for (std::size_t i = name.size() - 3; i < name.size(); ++i) {
        name[i] = static_cast<char>(name[i] - 'a' + 'A');
    }
    return name;
}

} // namespace

std::vector<std::uint8_t> makeArchive(ArchiveFormat format, const std::vector<ArchiveEntry>& entries,
                                      const std::string& passphrase) {
    std::unique_ptr<archive, decltype(&archive_write_free)> writer(archive_write_new(), archive_write_free);
    archive* a = writer.get();
    switch (format) {
    case ArchiveFormat::Zip:
        check(a, archive_write_set_format_zip(a));
        break;
    case ArchiveFormat::SevenZip:
        check(a, archive_write_set_format_7zip(a));
        break;
    case ArchiveFormat::Tar:
    case ArchiveFormat::TarGz:
    case ArchiveFormat::TarBz2:
    case ArchiveFormat::TarXz:
        check(a, archive_write_set_format_pax_restricted(a));
        break;
    }
    if (format == ArchiveFormat::TarGz) {
        check(a, archive_write_add_filter_gzip(a));
    } else if (format == ArchiveFormat::TarBz2) {
        check(a, archive_write_add_filter_bzip2(a));
    } else if (format == ArchiveFormat::TarXz) {
        check(a, archive_write_add_filter_xz(a));
    }
    if (!passphrase.empty()) {
        check(a, archive_write_set_options(a, "zip:encryption=zipcrypt"));
        check(a, archive_write_set_passphrase(a, passphrase.c_str()));
    }
    std::size_t capacity = 1 << 20;
    for (const ArchiveEntry& entry : entries) {
        capacity += entry.data.size() + 1024;
    }
    std::vector<std::uint8_t> bytes(capacity);
    std::size_t used = 0;
    check(a, archive_write_open_memory(a, bytes.data(), bytes.size(), &used));
    for (const ArchiveEntry& item : entries) {
        std::unique_ptr<archive_entry, decltype(&archive_entry_free)> entry(archive_entry_new(), archive_entry_free);
        archive_entry* e = entry.get();
        archive_entry_set_pathname(e, item.path.c_str());
        archive_entry_set_perm(e, 0644);
        archive_entry_set_mtime(e, 1136073600, 0);
        switch (item.type) {
        case ArchiveEntry::Type::File:
            archive_entry_set_filetype(e, AE_IFREG);
            archive_entry_set_size(e, static_cast<la_int64_t>(item.data.size()));
            break;
        case ArchiveEntry::Type::Folder:
            archive_entry_set_filetype(e, AE_IFDIR);
            archive_entry_set_perm(e, 0755);
            break;
        case ArchiveEntry::Type::Symlink:
            archive_entry_set_filetype(e, AE_IFLNK);
            archive_entry_set_symlink(e, item.linkTarget.c_str());
            break;
        case ArchiveEntry::Type::Hardlink:
            archive_entry_set_filetype(e, AE_IFREG);
            archive_entry_set_hardlink(e, item.linkTarget.c_str());
            break;
        case ArchiveEntry::Type::Device:
            archive_entry_set_filetype(e, AE_IFCHR);
            archive_entry_set_rdevmajor(e, 1);
            archive_entry_set_rdevminor(e, 3);
            break;
        case ArchiveEntry::Type::Fifo:
            archive_entry_set_filetype(e, AE_IFIFO);
            break;
        }
        check(a, archive_write_header(a, e));
        if (item.type == ArchiveEntry::Type::File && !item.data.empty()) {
            if (archive_write_data(a, item.data.data(), item.data.size()) < 0) {
                check(a, ARCHIVE_FATAL);
            }
        }
    }
    check(a, archive_write_close(a));
    bytes.resize(used);
    return bytes;
}

std::vector<ArchiveEntry> frameEntries(const std::string& folder, bool upperCase) {
    std::vector<ArchiveEntry> entries;
    std::uint32_t colour = 0x20406000u | 0xFFu;
    for (std::string_view frame : library::kFrameNames) {
        const std::string name = upperCase ? upper(std::string(frame)) : std::string(frame);
        entries.push_back({folder.empty() ? name : folder + "/" + name, makePng(17, 17, colour)});
        colour += 0x01000000u;
    }
    return entries;
}

void append(std::vector<ArchiveEntry>& entries, const std::vector<ArchiveEntry>& more) {
    entries.insert(entries.end(), more.begin(), more.end());
}

} // namespace orbisto::test
