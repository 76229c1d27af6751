#include "platform/FileSystem.h"

#include "platform/Errors.h"
#include "platform/NamePattern.h"
#include "platform/PathText.h"
#include "platform/Text.h"
#include "platform/windows/Win32.h"

#include <algorithm>
#include <atomic>
#include <memory>

namespace orbisto::platform {

namespace {

using win32::attributesOf;
using win32::native;
using win32::throwIoError;
using win32::throwLastError;

constexpr DWORD kSkippedInScans = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

bool isFolderAttributes(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool isReadOnlyAttributes(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

void clearReadOnly(const Path& file, DWORD attributes) {
    if (isReadOnlyAttributes(attributes) && !isFolderAttributes(attributes)) {
        const DWORD cleared = attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
        ::SetFileAttributesW(native(file).c_str(), cleared == 0 ? FILE_ATTRIBUTE_NORMAL : cleared);
    }
}

struct FindCloser {
    void operator()(HANDLE find) const { ::FindClose(find); }
};
using FindHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, FindCloser>;

struct HandleCloser {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using FileHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

// Calls `visit` for every entry of `folder` matching `pattern`, "." and ".." left out.
template <typename Visit> void forEachEntry(const Path& folder, std::string_view pattern, Visit visit) {
    const std::wstring query = native(folder) + L"\\" + win32::wide(pattern);
    WIN32_FIND_DATAW data{};
    FindHandle find(::FindFirstFileW(query.c_str(), &data));
    if (find.get() == INVALID_HANDLE_VALUE) {
        find.release();
        return;
    }
    do {
        const std::wstring_view name = data.cFileName;
        if (name != L"." && name != L"..") {
            visit(data);
        }
    } while (::FindNextFileW(find.get(), &data));
}

// A name beside `target` for a copy in progress; hidden by its leading dot on Wine.
Path stagingName(const Path& target) {
    static std::atomic<unsigned> counter{0};
    return target.parent_path() /
           toPath("." + toText(target.filename()) + "." + std::to_string(::GetCurrentProcessId()) + "-" +
                  std::to_string(counter++) + ".tmp");
}

void deleteQuietly(const Path& file) {
    ::DeleteFileW(native(file).c_str());
}

} // namespace

std::vector<FolderEntry> LocalFileSystem::scanFolder(const Path& folder, std::string_view pattern) const {
    std::vector<FolderEntry> entries;
    if (folder.empty()) {
        return entries;
    }
    // The system's scan also matches 8.3 short names ("*.png" finds "c.pngx") and, under Wine, gives
    // every name for "*."; each name is checked again by the long-name rule.
    forEachEntry(folder, pattern, [&](const WIN32_FIND_DATAW& data) {
        const std::string name = win32::utf8(data.cFileName);
        if ((data.dwFileAttributes & kSkippedInScans) == 0 && matchesPattern(pattern, name)) {
            entries.push_back({name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
        }
    });
    // The listing's order is the file system's; sorting by name keeps it stable everywhere.
    return sortedByName(std::move(entries));
}

bool LocalFileSystem::isPlainFile(const Path& file) const {
    const DWORD attributes = attributesOf(file);
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

bool LocalFileSystem::folderExists(const Path& folder) const {
    return isFolderAttributes(attributesOf(folder));
}

bool LocalFileSystem::exists(const Path& path) const {
    return attributesOf(path) != INVALID_FILE_ATTRIBUTES;
}

void LocalFileSystem::createFolder(const Path& folder) {
    if (folder.empty()) {
        throw IoError(3);
    }
    if (!::CreateDirectoryW(native(folder).c_str(), nullptr)) {
        throwLastError();
    }
}

void LocalFileSystem::createFolders(const Path& folder) {
    if (folder.empty()) {
        throw IoError(3);
    }
    Path partial = folder.root_path();
    for (const Path& part : folder.relative_path()) {
        partial /= part;
        if (part.empty() || part == "." || part == "..") {
            continue;
        }
        if (!::CreateDirectoryW(native(partial).c_str(), nullptr)) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_ALREADY_EXISTS && folderExists(partial)) {
                continue;
            }
            // A file in the way makes the rest of the path an invalid name.
            throwIoError(error == ERROR_ALREADY_EXISTS ? ERROR_PATH_NOT_FOUND : error);
        }
    }
}

void LocalFileSystem::copyFile(const Path& source, const Path& target) {
    const DWORD sourceAttributes = attributesOf(source);
    if (sourceAttributes == INVALID_FILE_ATTRIBUTES) {
        throwLastError();
    }
    const DWORD targetAttributes = attributesOf(target);
    if (isFolderAttributes(sourceAttributes) || isFolderAttributes(targetAttributes)) {
        throw IoError(5);
    }
    // The copy goes to a name beside the target and replaces it only when complete; CopyFileA
    // gives it the source's attributes, the read-only flag included.
    const Path staged = stagingName(target);
    if (!::CopyFileW(native(source).c_str(), native(staged).c_str(), TRUE)) {
        const DWORD error = ::GetLastError();
        clearReadOnly(staged, attributesOf(staged));
        deleteQuietly(staged);
        throwIoError(error);
    }
    clearReadOnly(target, targetAttributes);
    if (!::MoveFileExW(native(staged).c_str(), native(target).c_str(), MOVEFILE_REPLACE_EXISTING)) {
        const DWORD error = ::GetLastError();
        clearReadOnly(staged, attributesOf(staged));
        deleteQuietly(staged);
        throwIoError(error);
    }
}

void LocalFileSystem::rename(const Path& from, const Path& to) {
    const DWORD fromAttributes = attributesOf(from);
    if (fromAttributes == INVALID_FILE_ATTRIBUTES) {
        throwLastError();
    }
    const DWORD toAttributes = attributesOf(to);
    // Only a file replaces an existing file; anything else meets an existing name with a refusal.
    DWORD flags = 0;
    if (!isFolderAttributes(fromAttributes)) {
        if (isFolderAttributes(toAttributes)) {
            throw IoError(5);
        }
        clearReadOnly(to, toAttributes);
        flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED;
    }
    if (!::MoveFileExW(native(from).c_str(), native(to).c_str(), flags)) {
        throwLastError();
    }
}

void LocalFileSystem::removeFile(const Path& file) {
    const DWORD attributes = attributesOf(file);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            return;
        }
        throwIoError(error);
    }
    if (isFolderAttributes(attributes) || isReadOnlyAttributes(attributes)) {
        throw IoError(5);
    }
    if (!::DeleteFileW(native(file).c_str()) && ::GetLastError() != ERROR_FILE_NOT_FOUND) {
        throwLastError();
    }
}

void LocalFileSystem::removeTree(const Path& folder) {
    const DWORD attributes = attributesOf(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return;
    }
    if (!isFolderAttributes(attributes)) {
        clearReadOnly(folder, attributes);
        if (!::DeleteFileW(native(folder).c_str())) {
            throwLastError();
        }
        return;
    }
    // Like the shell's delete without questions: hidden and read-only entries go too.
    forEachEntry(folder, "*", [&](const WIN32_FIND_DATAW& data) {
        const Path entry = folder / std::wstring_view(data.cFileName);
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
            (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
            removeTree(entry);
            return;
        }
        clearReadOnly(entry, data.dwFileAttributes);
        const bool removed = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0
                                 ? ::RemoveDirectoryW(native(entry).c_str())
                                 : ::DeleteFileW(native(entry).c_str());
        if (!removed) {
            throwLastError();
        }
    });
    clearReadOnly(folder, attributes);
    if (!::RemoveDirectoryW(native(folder).c_str())) {
        throwLastError();
    }
}

void LocalFileSystem::makeWritable(const Path& file) noexcept {
    try {
        clearReadOnly(file, attributesOf(file));
    } catch (const std::exception&) {
        // The outcome is not reported: a name that cannot even be converted stays as it was.
    }
}

std::vector<std::uint8_t> LocalFileSystem::readFile(const Path& file) const {
    const FileHandle handle(::CreateFileW(native(file).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (handle.get() == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        throwIoError(error);
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(handle.get(), &size)) {
        throwLastError();
    }
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(size.QuadPart));
    std::uint8_t buffer[1 << 16];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(handle.get(), buffer, sizeof buffer, &got, nullptr)) {
            throwLastError();
        }
        if (got == 0) {
            return bytes;
        }
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
}

std::optional<std::vector<std::uint8_t>> LocalFileSystem::readPlainFile(const Path& file) const {
    return FileSystem::readPlainFile(file);
}

std::optional<FileIdentity> LocalFileSystem::identity(const Path& path) const {
    if (path.empty()) {
        return std::nullopt;
    }
    // Opened for no access at all (only attributes are read), sharing everything, so no other program
    // is hindered; folders need the backup-semantics flag to be opened.
    FileHandle handle(::CreateFileW(native(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (handle.get() == INVALID_HANDLE_VALUE) {
        handle.release();
        return std::nullopt;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle.get(), &info)) {
        return std::nullopt;
    }
    // FILETIME counts 100 ns steps since 1601; the identity counts nanoseconds since 1970.
    const auto nanoseconds = [](std::uint64_t ticks) {
        constexpr std::uint64_t kTicksTo1970 = 116444736000000000ULL;
        return static_cast<std::int64_t>(ticks - kTicksTo1970) * 100;
    };
    const auto ticksOf = [](const FILETIME& time) {
        return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    std::int64_t changed = 0;
    FILE_BASIC_INFO basic{};
    if (::GetFileInformationByHandleEx(handle.get(), FileBasicInfo, &basic, sizeof basic)) {
        changed = nanoseconds(static_cast<std::uint64_t>(basic.ChangeTime.QuadPart));
    }
    const DWORD attributes = info.dwFileAttributes;
    const FileIdentity::Kind kind = (attributes & kSkippedInScans) != 0 ? FileIdentity::Kind::Other
                                    : isFolderAttributes(attributes)    ? FileIdentity::Kind::Folder
                                                                        : FileIdentity::Kind::File;
    return FileIdentity{info.dwVolumeSerialNumber,
                        (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow,
                        (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow,
                        nanoseconds(ticksOf(info.ftLastWriteTime)),
                        changed,
                        attributes,
                        kind};
}

FileVersion LocalFileSystem::readPlainFileVersion(const Path& file) const {
    // The identity is taken before the read, so a change during the read shows at the next look.
    return FileSystem::readPlainFileVersion(file);
}

std::uintmax_t LocalFileSystem::fileSize(const Path& file) const {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (file.empty() || !::GetFileAttributesExW(native(file).c_str(), GetFileExInfoStandard, &data)) {
        throwIoError(file.empty() ? ERROR_INVALID_NAME : ::GetLastError());
    }
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        throw IoError(5);
    }
    return (static_cast<std::uintmax_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

Path LocalFileSystem::createPrivateFolder(const Path& parent, std::string_view prefix) {
    if (parent.empty()) {
        throw IoError(3);
    }
    // A folder of the user's own temporary folder is theirs alone by its inherited access rights; the
    // name takes the process id, the time and a counter until one is free.
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const Path folder = parent / toPath(std::string(prefix) + std::to_string(::GetCurrentProcessId()) + "-" +
                                            std::to_string(::GetTickCount64()) + "-" + std::to_string(counter++));
        if (::CreateDirectoryW(native(folder).c_str(), nullptr)) {
            return folder;
        }
        if (::GetLastError() != ERROR_ALREADY_EXISTS) {
            throwLastError();
        }
    }
    throwIoError(ERROR_ALREADY_EXISTS);
}

void LocalFileSystem::writeNewFile(const Path& file, std::span<const std::uint8_t> bytes) {
    // CREATE_NEW refuses any existing name, a link included (it is not followed), so the write never
    // lands in a file that was there.
    FileHandle handle(::CreateFileW(native(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (handle.get() == INVALID_HANDLE_VALUE) {
        handle.release();
        throwLastError();
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!::WriteFile(handle.get(), bytes.data() + done, chunk, &written, nullptr)) {
            const DWORD error = ::GetLastError();
            handle.reset();
            deleteQuietly(file);
            throwIoError(error);
        }
        done += written;
    }
}

namespace {

// Wide-path helpers of the install's copy steps.
DWORD wideAttributesOf(const Path& path) {
    return path.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(path.native().c_str());
}

void clearReadOnlyWide(const Path& file, DWORD attributes) {
    if (isReadOnlyAttributes(attributes) && !isFolderAttributes(attributes)) {
        const DWORD cleared = attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
        ::SetFileAttributesW(file.native().c_str(), cleared == 0 ? FILE_ATTRIBUTE_NORMAL : cleared);
    }
}

bool isMissingError(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// The nearest folder that exists, going up from `folder` (itself when it exists).
Path nearestExistingFolder(const Path& folder) {
    Path existing = folder;
    while (!existing.empty() && !isFolderAttributes(wideAttributesOf(existing))) {
        const Path parent = existing.parent_path();
        if (parent == existing) {
            break;
        }
        existing = parent;
    }
    return existing.empty() ? Path(L".") : existing;
}

} // namespace

void LocalFileSystem::copyFileUnflushed(const Path& source, const Path& target) {
    const DWORD sourceAttributes = wideAttributesOf(source);
    if (sourceAttributes == INVALID_FILE_ATTRIBUTES) {
        throwLastError();
    }
    const DWORD targetAttributes = wideAttributesOf(target);
    if (isFolderAttributes(sourceAttributes) || isFolderAttributes(targetAttributes)) {
        throw IoError(5);
    }
    // CopyFileW gives a new copy the source's attributes, the read-only flag included; a file left
    // under the target's name goes first (Wine keeps the old file's attributes when copying over it).
    if (targetAttributes != INVALID_FILE_ATTRIBUTES) {
        clearReadOnlyWide(target, targetAttributes);
        if (!::DeleteFileW(target.native().c_str()) && !isMissingError(::GetLastError())) {
            throwLastError();
        }
    }
    if (!::CopyFileW(source.native().c_str(), target.native().c_str(), TRUE)) {
        const DWORD error = ::GetLastError();
        clearReadOnlyWide(target, wideAttributesOf(target));
        ::DeleteFileW(target.native().c_str());
        throwIoError(error);
    }
}

void LocalFileSystem::flushFiles(std::span<const Path> files) {
    for (const Path& file : files) {
        // FlushFileBuffers needs a handle with write access, which a read-only file refuses: the flag
        // is lifted for the flush and put back.
        const DWORD attributes = wideAttributesOf(file);
        clearReadOnlyWide(file, attributes);
        FileHandle handle(::CreateFileW(file.native().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD error = ERROR_SUCCESS;
        if (handle.get() == INVALID_HANDLE_VALUE) {
            handle.release();
            error = ::GetLastError();
        } else if (!::FlushFileBuffers(handle.get())) {
            error = ::GetLastError();
        }
        handle.reset();
        if (isReadOnlyAttributes(attributes)) {
            ::SetFileAttributesW(file.native().c_str(), attributes);
        }
        if (error != ERROR_SUCCESS) {
            throwIoError(error);
        }
    }
}

void LocalFileSystem::flushFolder(const Path& folder) noexcept {
    // NTFS journals its folders itself; flushing the folder's handle writes its entries out now where
    // the file system supports it.
    HANDLE handle = ::CreateFileW(folder.native().c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        ::FlushFileBuffers(handle);
        ::CloseHandle(handle);
    }
}

void LocalFileSystem::checkWritableFolder(const Path& folder) const {
    // A hidden probe file that the system deletes when it is closed: a folder under Program Files
    // refuses it with 5 for a standard user, as Controlled Folder Access does in Documents.
    static std::atomic<unsigned> counter{0};
    const Path probe = nearestExistingFolder(folder) / (L".orbisto-write-check-" + std::to_wstring(::GetCurrentProcessId()) +
                                                        L"-" + std::to_wstring(counter++) + L".tmp");
    HANDLE handle = ::CreateFileW(probe.native().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        throwLastError();
    }
    ::CloseHandle(handle);
}

void LocalFileSystem::checkReplaceable(const Path& file) const {
    const DWORD attributes = wideAttributesOf(file);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        if (isMissingError(error)) {
            return;
        }
        throwIoError(error);
    }
    if (isFolderAttributes(attributes)) {
        throw IoError(5);
    }
    // Opening for deletion, sharing everything, is refused with 32 exactly while another program
    // holds the file without FILE_SHARE_DELETE: then neither a rename nor a replace would go through.
    HANDLE handle = ::CreateFileW(file.native().c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (isMissingError(error)) {
            return;
        }
        throwIoError(error);
    }
    ::CloseHandle(handle);
}

FileSystem& localFileSystem() {
    static LocalFileSystem instance;
    return instance;
}

Path executablePath() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return Path(win32::withoutLongPrefix(buffer));
        }
        buffer.resize(buffer.size() * 2);
    }
}

Path workingFolder() {
    const DWORD size = ::GetCurrentDirectoryW(0, nullptr);
    std::wstring buffer(size, L'\0');
    const DWORD length = ::GetCurrentDirectoryW(size, buffer.data());
    if (length == 0 || length >= size) {
        return {};
    }
    buffer.resize(length);
    return Path(win32::withoutLongPrefix(buffer));
}

Path temporaryFolder() {
    // MAX_PATH + 1 characters is the documented size that always suffices.
    wchar_t buffer[MAX_PATH + 2] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH + 1) {
        return workingFolder();
    }
    // Without the trailing separator GetTempPathW gives, like the folder names of the other calls.
    std::wstring folder(buffer, length);
    if (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/')) {
        folder.pop_back();
    }
    return Path(folder);
}

long currentProcessId() noexcept {
    return static_cast<long>(::GetCurrentProcessId());
}

bool processRunning(long id) noexcept {
    if (id <= 0) {
        return false;
    }
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(id));
    if (process == nullptr) {
        // Access denied: it runs, under another user.
        return ::GetLastError() == ERROR_ACCESS_DENIED;
    }
    DWORD code = 0;
    const bool running = ::GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    ::CloseHandle(process);
    return running;
}

} // namespace orbisto::platform
