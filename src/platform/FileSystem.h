#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orbisto::platform {

using Path = std::filesystem::path;

struct FolderEntry {
    std::string name;
    bool isFolder = false;

    bool operator==(const FolderEntry&) const = default;
};

// What tells one version of a file or folder from another. Writing, replacing, renaming over or
// changing the attributes of an entry changes at least one field, provided the two versions' time
// stamps lie further apart than the file system's time resolution. Times are nanoseconds since
// 1970-01-01 UTC; `changed` (the last change of content or attributes, which no program can set
// back) is 0 where the file system keeps no such time.
struct FileIdentity {
    // What a folder scan makes of the entry: a plain file, a folder, or something it leaves out
    // (hidden, system, a device or pipe).
    enum class Kind : std::uint8_t { Other, File, Folder };

    std::uint64_t device = 0;
    std::uint64_t fileId = 0;
    std::uint64_t size = 0;
    std::int64_t modified = 0;
    std::int64_t changed = 0;
    std::uint32_t attributes = 0;
    Kind kind = Kind::Other;

    bool operator==(const FileIdentity&) const = default;
};

// One look at a file: its identity and, for a plain file that could be read, its contents.
struct FileVersion {
    std::optional<FileIdentity> identity;
    std::optional<std::vector<std::uint8_t>> content;
};

// The file operations the core needs, behind one interface so tests can inject faults
// (a frame that cannot be read, a target that stops accepting writes, a full disk).
// Every failure raises orbisto::IoError with the Windows-style code.
//
// Windows semantics reproduced on Linux:
//  - a name starting with "." is a hidden entry; hidden and system entries never appear in scans
//    and never count as existing plain files;
//  - a file without its owner's write permission is read-only: writing into it, replacing it or
//    deleting it fails with code 5 even for root, until makeWritable clears the flag.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Entries of `folder` whose names match `pattern` ("*", "*.*", "*.", "*.png", "*.ini"; case-insensitive),
    // files and folders alike, without ".", "..", hidden and system entries, sorted by name for a stable order.
    // A missing folder (or an empty path) gives an empty list.
    virtual std::vector<FolderEntry> scanFolder(const Path& folder, std::string_view pattern) const = 0;

    // True for an existing plain file that is neither hidden, system nor a folder.
    virtual bool isPlainFile(const Path& file) const = 0;
    // True for an existing folder (hidden or not).
    virtual bool folderExists(const Path& folder) const = 0;
    // True when anything (file or folder) exists under that name.
    virtual bool exists(const Path& path) const = 0;

    // Creates one folder level. Raises IoError 183 when the name exists, 3 for an invalid name,
    // 2/3 when the parent is missing, 5 when access is denied.
    virtual void createFolder(const Path& folder) = 0;
    // Creates the folder and any missing parents; an existing folder is fine.
    virtual void createFolders(const Path& folder) = 0;

    // Copies one file, replacing the target (also a read-only one). Raises IoError on failure,
    // leaving no partial target behind.
    virtual void copyFile(const Path& source, const Path& target) = 0;
    // Renames a file or folder, replacing an existing target file (also a read-only one).
    virtual void rename(const Path& from, const Path& to) = 0;
    // Deletes one file. A missing file is not an error.
    virtual void removeFile(const Path& file) = 0;
    // Deletes a folder and everything in it. A missing folder is not an error.
    virtual void removeTree(const Path& folder) = 0;
    // Clears the read-only flag (gives the owner write permission). The outcome is not reported.
    virtual void makeWritable(const Path& file) noexcept = 0;

    virtual std::vector<std::uint8_t> readFile(const Path& file) const = 0;
    virtual std::uintmax_t fileSize(const Path& file) const = 0;

    // Creates a new folder inside `parent` that only this user may enter (mode 0700), named `prefix`
    // followed by random characters, and returns its path.
    virtual Path createPrivateFolder(const Path& parent, std::string_view prefix);
    // Creates `file` with `bytes`, for this user only. Anything already there under that name (a link
    // included) is refused with IoError 183, so the write never follows a link; a failed write
    // leaves no file behind.
    virtual void writeNewFile(const Path& file, std::span<const std::uint8_t> bytes);

    // Contents of a plain file (as isPlainFile tells it); nothing for anything else and for a file that
    // cannot be read. Marker files are checked and read this way, in one step.
    virtual std::optional<std::vector<std::uint8_t>> readPlainFile(const Path& file) const;

    // Identity of the file or folder under that name (links followed); nothing when it is missing,
    // cannot be looked at, or the file system cannot tell. Callers that keep what they read use it to
    // see whether it changed; nothing means "read again".
    virtual std::optional<FileIdentity> identity(const Path& path) const;

    // identity(file) and readPlainFile(file) at once; the identity is taken no later than the read,
    // so a change during the read shows as a new identity next time.
    virtual FileVersion readPlainFileVersion(const Path& file) const;

    // The steps of a durable copy of many files, for the install: write every copy with
    // copyFileUnflushed, make them all durable with one flushFiles, rename them into place, then
    // flushFolder once per folder. Doing each step for all files at once saves a wait for the disk
    // per file.

    // Copies one file into `target` under that very name (a file already there is replaced, also a
    // read-only one), without waiting for the disk; the target takes the source's attributes. Raises
    // IoError on failure, leaving no partial target behind. By default: copyFile.
    virtual void copyFileUnflushed(const Path& source, const Path& target);
    // Makes the contents of the files durable: once it returns, a power cut leaves each file whole.
    // Raises IoError when one cannot be flushed. By default nothing is done.
    virtual void flushFiles(std::span<const Path> files);
    // Makes the entries of a folder (names created, renamed or removed in it) durable, as far as the
    // file system allows; the outcome is not reported. By default nothing is done.
    virtual void flushFolder(const Path& folder) noexcept;
    // Raises IoError when no new file can be created in `folder` (5 when it is refused); a missing
    // folder is checked at its nearest existing parent, where it would be created. Leaves nothing
    // behind. By default every folder passes.
    virtual void checkWritableFolder(const Path& folder) const;
    // Raises IoError when `file` could not be renamed or replaced at this moment: on Windows 32 while
    // another program holds it open without sharing its deletion. A missing file passes; a folder
    // under the name is refused with 5. By default every file passes.
    virtual void checkReplaceable(const Path& file) const;
};

// The real file system of this machine. Tests derive from it to make one operation fail.
class LocalFileSystem : public FileSystem {
public:
    std::vector<FolderEntry> scanFolder(const Path& folder, std::string_view pattern) const override;
    bool isPlainFile(const Path& file) const override;
    bool folderExists(const Path& folder) const override;
    bool exists(const Path& path) const override;
    void createFolder(const Path& folder) override;
    void createFolders(const Path& folder) override;
    void copyFile(const Path& source, const Path& target) override;
    void rename(const Path& from, const Path& to) override;
    void removeFile(const Path& file) override;
    void removeTree(const Path& folder) override;
    void makeWritable(const Path& file) noexcept override;
    std::vector<std::uint8_t> readFile(const Path& file) const override;
    std::uintmax_t fileSize(const Path& file) const override;
    Path createPrivateFolder(const Path& parent, std::string_view prefix) override;
    void writeNewFile(const Path& file, std::span<const std::uint8_t> bytes) override;
    // Opens the file once and checks its type on the open file.
    std::optional<std::vector<std::uint8_t>> readPlainFile(const Path& file) const override;
    std::optional<FileIdentity> identity(const Path& path) const override;
    // One open: the identity comes from the open file, then its contents.
    FileVersion readPlainFileVersion(const Path& file) const override;
    void copyFileUnflushed(const Path& source, const Path& target) override;
    void flushFiles(std::span<const Path> files) override;
    void flushFolder(const Path& folder) noexcept override;
    void checkWritableFolder(const Path& folder) const override;
    void checkReplaceable(const Path& file) const override;
};

// A folder's entries in name order, ignoring case (the order every folder scan gives).
std::vector<FolderEntry> sortedByName(std::vector<FolderEntry> entries);

// The names of the plain files, or of the folders, among a scan's entries, in the scan's order.
std::vector<std::string> fileNames(std::vector<FolderEntry> entries);
std::vector<std::string> folderNames(std::vector<FolderEntry> entries);
// The same of one scan of `folder`: "*.png" gives a folder's frames, "*." its sub-folders without a
// dot in their names (the library's brands and balls).
std::vector<std::string> fileNames(const FileSystem& fs, const Path& folder, std::string_view pattern);
std::vector<std::string> folderNames(const FileSystem& fs, const Path& folder, std::string_view pattern = "*.");

// The one LocalFileSystem of the program.
FileSystem& localFileSystem();

// Full path of the running executable.
Path executablePath();
// The process's working folder.
Path workingFolder();
// The folder for temporary files ($TMPDIR, else /tmp).
Path temporaryFolder();

// This process's id, and whether a process of that id runs now.
long currentProcessId() noexcept;
bool processRunning(long id) noexcept;

} // namespace orbisto::platform
