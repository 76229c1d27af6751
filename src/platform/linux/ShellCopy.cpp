#include "platform/ShellCopy.h"

#include "platform/FileSystem.h"
#include "platform/PathText.h"

namespace orbisto::platform {

void shellCopy(const std::filesystem::path& sourceFolder, std::string_view pattern,
               const std::filesystem::path& targetFolder,
               bool /*progressWindow: the windows show their own*/) noexcept {
    FileSystem& files = localFileSystem();
    try {
        files.createFolders(targetFolder);
        for (const FolderEntry& entry : files.scanFolder(sourceFolder, pattern)) {
            if (!entry.isFolder) {
                try {
                    files.copyFile(sourceFolder / toPath(entry.name), targetFolder / toPath(entry.name));
                } catch (const std::exception&) {
                    // Like the shell's copy, one file that fails does not stop the others.
                }
            }
        }
    } catch (const std::exception&) {
        // The shell copy reports nothing; a target folder that cannot be made leaves nothing copied.
    }
}

} // namespace orbisto::platform
