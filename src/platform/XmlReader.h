#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace orbisto::platform {

// One element child of a document element: its attributes in document order.
struct XmlElement {
    std::vector<std::pair<std::string, std::string>> attributes;

    // Value of the first attribute of that exact name, or nothing when absent.
    std::optional<std::string> attribute(std::string_view name) const;
};

// Loads an XML file and returns the element children of its document element, in document
// order (comments, processing instructions and text are skipped; deeper levels are not read).
// A file that cannot be read raises IoError; one that is not well-formed raises XmlError.
std::vector<XmlElement> readDocumentChildren(const std::filesystem::path& file);

} // namespace orbisto::platform
