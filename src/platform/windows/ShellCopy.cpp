#include "platform/ShellCopy.h"

#include "platform/FileSystem.h"
#include "platform/windows/Win32.h"

#include <shellapi.h>

namespace orbisto::platform {

void shellCopy(const std::filesystem::path& sourceFolder, std::string_view pattern,
               const std::filesystem::path& targetFolder, bool progressWindow) noexcept {
    try {
        // When the wildcard matches one file and the target folder is missing, the shell would
        // create a file under the folder's name: the folder is made first.
        localFileSystem().createFolders(targetFolder);
        // Both lists end in two terminators.
        // The shell takes no "\\?\" paths, so the folders go as they are.
        const std::wstring from = sourceFolder.native() + L"\\" + win32::wide(pattern) + L'\0';
        const std::wstring to = targetFolder.native() + L'\0';
        SHFILEOPSTRUCTW operation{};
        operation.wFunc = FO_COPY;
        operation.pFrom = from.c_str();
        operation.pTo = to.c_str();
        operation.fFlags =
            FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI | FOF_FILESONLY | (progressWindow ? 0 : FOF_SILENT);
        ::SHFileOperationW(&operation);
    } catch (const std::exception&) {
        // The shell copy reports nothing; a target folder that cannot be made leaves nothing copied.
    }
}

} // namespace orbisto::platform
