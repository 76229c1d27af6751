#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace orbisto {

// Base of every failure the program reports. what() is the exact text the error box shows
// (before errorBoxText adds its full stop).
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A failed file operation, carrying the Windows-style error code and its fixed text:
// 2 "File not found", 3 "Invalid filename", 4 "Too many open files", 5 "File access denied",
// 100 "Read beyond end of file", 101 "Disk full", 106 "Invalid numeric input", else "I/O error %d".
class IoError : public Error {
public:
    explicit IoError(int code);
    int code() const noexcept { return code_; }

    static std::string textFor(int code);
    // Maps an errno value to the nearest Windows code (ENOENT 2, EACCES 5, ENOSPC 101, EEXIST 183...).
    static int codeFromErrno(int err) noexcept;
    static IoError fromErrno(int err) { return IoError(codeFromErrno(err)); }

private:
    int code_;
};

// "List index out of bounds (%d)"
class ListIndexError : public Error {
public:
    explicit ListIndexError(long index);
};

// "Unable to write to %s" (the INI file's path)
class IniWriteError : public Error {
public:
    explicit IniWriteError(const std::string& path);
};

// "Failed to set data for '%s'" (the value name)
class SettingsWriteError : public Error {
public:
    explicit SettingsWriteError(std::string_view valueName);
};

// "Invalid data type for '%s'" (the value name)
class SettingsTypeError : public Error {
public:
    explicit SettingsTypeError(std::string_view valueName);
};

// "Cannot open "%s": %s": the desktop could not open a document or address (the target, then the
// system's reason).
class ShellOpenError : public Error {
public:
    ShellOpenError(std::string_view target, std::string_view reason);
};

// A picture that cannot be decoded; the text is the decoder's reason.
class ImageError : public Error {
public:
    using Error::Error;
};

// A skin description that cannot be read; the text is the parser's reason.
class XmlError : public Error {
public:
    using Error::Error;
};

// Text of the error box: the error's text, with a full stop added when its last character
// sorts above "." ("File not found" gets one; "Done." and "List index out of bounds (21)" do not).
std::string errorBoxText(std::string_view message);

} // namespace orbisto
