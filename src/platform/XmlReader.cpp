#include "platform/XmlReader.h"

#include "platform/Errors.h"
#include "platform/FileSystem.h"

#include <algorithm>
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

void forEachDocumentChild(const std::filesystem::path& file, std::initializer_list<std::string_view> names,
                          const std::function<void(const XmlElement&)>& visit) {
    auto bytes = localFileSystem().readFile(file);
    pugi::xml_document document;
    // Parsed where it was read, without a copy; the names and values point into `bytes`.
    const pugi::xml_parse_result result = document.load_buffer_inplace(bytes.data(), bytes.size());
    if (!result) {
        throw XmlError(std::string(result.description()) + " at offset " + std::to_string(result.offset));
    }
    const pugi::xml_node root = document.document_element();
    if (!root) {
        throw XmlError("No document element");
    }
    XmlElement element; // one for all children: its room is used again
    for (const pugi::xml_node child : root.children()) {
        if (child.type() != pugi::node_element) {
            continue;
        }
        std::size_t kept = 0;
        for (const pugi::xml_attribute attribute : child.attributes()) {
            if (names.size() != 0 && std::find(names.begin(), names.end(), attribute.name()) == names.end()) {
                continue;
            }
            if (kept == element.attributes.size()) {
                element.attributes.emplace_back();
            }
            element.attributes[kept].first = attribute.name();
            element.attributes[kept].second = attribute.value();
            ++kept;
        }
        element.attributes.resize(kept);
        visit(element);
    }
}

std::vector<XmlElement> readDocumentChildren(const std::filesystem::path& file) {
    std::vector<XmlElement> children;
    forEachDocumentChild(file, {}, [&](const XmlElement& child) { children.push_back(child); });
    return children;
}

} // namespace orbisto::platform
