// Skin description files: any bytes as a description are read without a crash, either as element
// children or as an XmlError; the catalogue of a game with that one skin lists it at most once, with
// a display name that has text, or records one error.

#include "FuzzSupport.h"
#include "install/SkinCatalogue.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/XmlReader.h"

using namespace orbisto;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto game = [] {
        const auto folder = fuzz::scratchFolder() / "game";
        std::filesystem::create_directories(folder / "data/skins/Night");
        return folder;
    }();
    const auto file = game / "data/skins/Night/Night.xml";
    fuzz::writeBytes(file, std::string_view(reinterpret_cast<const char*>(data), size));

    try {
        for (const auto& child : platform::readDocumentChildren(file)) {
            for (const auto& [name, value] : child.attributes) {
                fuzz::check(child.attribute(name).has_value(), "every attribute read can be looked up");
            }
        }
    } catch (const XmlError&) {
    }

    const install::SkinCatalogue catalogue = install::readSkinCatalogue(platform::localFileSystem(), game);
    fuzz::check(catalogue.skins.size() + catalogue.errors.size() <= 1, "one skin gives one entry or one error");
    for (const auto& skin : catalogue.skins) {
        fuzz::check(skin.folder == "Night", "the entry names its folder");
        fuzz::check(!skin.displayName.empty(), "a listed skin has a name");
        fuzz::check(skin.displayName.find('[') == std::string::npos || skin.displayName.find_first_of("\"'") !=
                                                                            std::string::npos,
                    "the name stops at its first unquoted bracket");
    }
    return 0;
}
