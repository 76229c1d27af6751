#pragma once

#include <filesystem>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orbisto::platform {

// One element child of a document element: its attributes in document order.
struct XmlElement {
    std::vector<std::pair<std::string, std::string>> attributes;

    // Value of the first attribute of that exact name, or nothing when absent.
    std::optional<std::string> attribute(std::string_view name) const;
};

// Loads an XML file and calls `visit` for each element child of its document element, in document
// order (comments, processing instructions and text are skipped; deeper levels are not read). With
// `names`, a child shows only the attributes of those names. The child handed over is valid only
// during the call: a description of hundreds of entries is read without copying each. A file that
// cannot be read raises IoError; one that is not well-formed raises XmlError.
void forEachDocumentChild(const std::filesystem::path& file, std::initializer_list<std::string_view> names,
                          const std::function<void(const XmlElement&)>& visit);

// The element children of the document element, each with all its attributes.
std::vector<XmlElement> readDocumentChildren(const std::filesystem::path& file);

} // namespace orbisto::platform
