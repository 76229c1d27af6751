#include "install/SkinCatalogue.h"

#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/Text.h"
#include "platform/XmlReader.h"

#include <optional>

namespace orbisto::install {

namespace {

using Path = std::filesystem::path;

struct Description {
    bool marked = false;
    std::string name;
};

Description readDescription(const Path& file) {
    Description result;
    platform::forEachDocumentChild(file, {"id", "value"}, [&](const platform::XmlElement& child) {
        const std::optional<std::string> id = child.attribute("id");
        if (id == "name") {
            const std::optional<std::string> value = child.attribute("value");
            if (!value) {
                throw Error("the name entry has no \"value\" attribute");
            }
            result.name = *value;
        } else if (id == "hnfn") {
            result.marked = true;
        }
    });
    return result;
}

} // namespace

SkinCatalogue readSkinCatalogue(const platform::FileSystem& fs, const Path& gameFolder) {
    SkinCatalogue catalogue;
    if (gameFolder.empty()) {
        return catalogue;
    }
    const Path skins = gameFolder / "data/skins";
    const auto entries = fs.scanFolder(skins, "*.");
    // Walked from the last to the first, so the list shows the skins in reverse scan order.
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        const std::string& folder = it->name;
        const Path file = skins / platform::toPath(folder) / platform::toPath(folder + ".xml");
        Description description;
        try {
            description = readDescription(file);
        } catch (const IoError& e) {
            // A folder without a description (or with something else under its name) is no skin;
            // asked only now, since nearly every folder has one.
            if (fs.isPlainFile(file)) {
                catalogue.errors.push_back("Cannot read the description of the skin \"" + folder + "\": " + e.what());
            }
            continue;
        } catch (const std::exception& e) {
            catalogue.errors.push_back("Cannot read the description of the skin \"" + folder + "\": " + e.what());
            continue;
        }
        if (!description.marked || description.name.empty()) {
            continue;
        }
        const std::vector<std::string> pieces = SplitText(description.name, "[");
        if (pieces.empty()) {
            continue;
        }
        catalogue.skins.push_back({folder, pieces.front()});
    }
    return catalogue;
}

} // namespace orbisto::install
