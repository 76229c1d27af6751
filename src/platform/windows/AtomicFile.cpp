#include "platform/AtomicFile.h"

#include "platform/Errors.h"
#include "platform/PathText.h"
#include "platform/windows/Win32.h"

#include <atomic>
#include <string>

namespace orbisto::platform {

bool isReadOnlyFile(const std::filesystem::path& file) noexcept {
    try {
        const DWORD attributes = win32::attributesOf(file);
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
               (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    } catch (const std::exception&) {
        return false; // a name that cannot be converted names no file
    }
}

void replaceFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes) {
    const DWORD attributes = win32::attributesOf(target);
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
        throw IoError(5);
    }
    // A name beside the target, written and flushed in full before it replaces the target.
    static std::atomic<unsigned> counter{0};
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : std::filesystem::path(L".");
    const std::wstring temp =
        win32::native(folder / toPath("." + toText(target.filename()) + "." + std::to_string(::GetCurrentProcessId()) +
                                      "-" + std::to_string(counter++) + ".tmp"));
    const HANDLE file =
        ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        win32::throwLastError();
    }
    DWORD error = ERROR_SUCCESS;
    std::size_t done = 0;
    while (error == ERROR_SUCCESS && done < bytes.size()) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data() + done, want, &written, nullptr)) {
            error = ::GetLastError();
        }
        done += written;
    }
    if (error == ERROR_SUCCESS && !::FlushFileBuffers(file)) {
        error = ::GetLastError();
    }
    if (!::CloseHandle(file) && error == ERROR_SUCCESS) {
        error = ::GetLastError();
    }
    if (error == ERROR_SUCCESS && !::MoveFileExW(temp.c_str(), win32::native(target).c_str(),
                                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = ::GetLastError();
    }
    if (error != ERROR_SUCCESS) {
        ::DeleteFileW(temp.c_str());
        win32::throwIoError(error);
    }
}

} // namespace orbisto::platform
