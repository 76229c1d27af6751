#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace orbisto::platform {

// True for an existing file that lacks its owner's write permission: the read-only flag.
bool isReadOnlyFile(const std::filesystem::path& file) noexcept;

// Replaces `target` (or creates it) with `bytes`: a hidden temporary file beside it is written,
// flushed to the disk and renamed over the target, so the target is either the old or the new
// file, never a part. A read-only or folder target is refused (IoError 5); other failures raise
// IoError with the code of the system's error. An existing target keeps its permissions.
void replaceFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes);

} // namespace orbisto::platform
