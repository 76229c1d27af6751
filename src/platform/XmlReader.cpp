#include "platform/XmlReader.h"

#include "platform/Errors.h"
#include "platform/FileSystem.h"

#include <pugixml.hpp>

namespace orbisto::platform {

std::optional<std::string> XmlElement::attribute(std::string_view name) const {
    for (const auto& [attributeName, value] : attributes) {
        if (attributeName == name) {
            return value;
        }
    }
    return std::nullopt;
}

std::vector<XmlElement> readDocumentChildren(const std::filesystem::path& file) {
    const auto bytes = localFileSystem().readFile(file);
    pugi::xml_document document;
    const pugi::xml_parse_result result = document.load_buffer(bytes.data(), bytes.size());
    if (!result) {
        throw XmlError(std::string(result.description()) + " at offset " + std::to_string(result.offset));
    }
    const pugi::xml_node root = document.document_element();
    if (!root) {
        throw XmlError("No document element");
    }
    std::vector<XmlElement> children;
    for (const pugi::xml_node child : root.children()) {
        if (child.type() != pugi::node_element) {
            continue;
        }
        XmlElement element;
        for (const pugi::xml_attribute attribute : child.attributes()) {
            element.attributes.emplace_back(attribute.name(), attribute.value());
        }
        children.push_back(std::move(element));
    }
    return children;
}

} // namespace orbisto::platform
