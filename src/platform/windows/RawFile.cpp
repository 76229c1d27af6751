#include "platform/RawFile.h"

#include "platform/Errors.h"
#include "platform/windows/Win32.h"

namespace orbisto::platform {

namespace {

HANDLE handleOf(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

OVERLAPPED at(std::int64_t offset) {
    OVERLAPPED position{};
    position.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(offset) & 0xFFFFFFFFu);
    position.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
    return position;
}

} // namespace

RawFile::RawFile(const std::filesystem::path& file, Mode mode) {
    // Opening a read-only file for writing, or a folder at all, is refused by the system (code 5).
    const DWORD access = mode == Mode::ReadWrite ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
    const HANDLE handle = ::CreateFileW(win32::native(file).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        win32::throwLastError();
    }
    // The read-only flag is checked on the open file too: the system leaves it to the file's
    // permissions under Wine, which do not stop the superuser.
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info) ||
        (mode == Mode::ReadWrite && (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0)) {
        const DWORD error =
            (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0 ? ERROR_ACCESS_DENIED : ::GetLastError();
        ::CloseHandle(handle);
        win32::throwIoError(error);
    }
    handle_ = reinterpret_cast<std::intptr_t>(handle);
    size_ = (static_cast<std::int64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
}

RawFile::~RawFile() {
    if (handle_ != -1) {
        ::CloseHandle(handleOf(handle_));
    }
}

std::int64_t RawFile::size() const {
    return size_;
}

std::vector<std::uint8_t> RawFile::readAt(std::int64_t offset, std::size_t count) const {
    if (offset < 0) {
        throw IoError(100);
    }
    std::vector<std::uint8_t> bytes(count);
    std::size_t done = 0;
    while (done < count) {
        OVERLAPPED position = at(offset + static_cast<std::int64_t>(done));
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(count - done, 1u << 30));
        DWORD got = 0;
        if (!::ReadFile(handleOf(handle_), bytes.data() + done, want, &got, &position)) {
            win32::throwLastError(); // reading at or past the end is ERROR_HANDLE_EOF: code 100
        }
        if (got == 0) {
            throw IoError(100);
        }
        done += got;
    }
    return bytes;
}

void RawFile::truncate(std::int64_t size) {
    if (size < 0) {
        throw IoError(3);
    }
    LARGE_INTEGER position{};
    position.QuadPart = size;
    if (!::SetFilePointerEx(handleOf(handle_), position, nullptr, FILE_BEGIN) || !::SetEndOfFile(handleOf(handle_))) {
        win32::throwLastError();
    }
    size_ = size;
}

void RawFile::append(std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        OVERLAPPED position = at(size_);
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(handleOf(handle_), bytes.data() + done, want, &written, &position)) {
            win32::throwLastError();
        }
        done += written;
        size_ += written;
    }
}

void RawFile::sync() {
    if (!::FlushFileBuffers(handleOf(handle_))) {
        win32::throwLastError();
    }
}

} // namespace orbisto::platform
