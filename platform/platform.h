// What the engine needs from the operating system: where the program lives, the 8-bit code page, file
// names and a save that either completes or leaves the earlier file alone. One implementation per
// system (platform_linux.cpp, platform_windows.cpp).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "text/text.h"

namespace dravik {

// The folder of the running executable, without a trailing separator; sets `error` when it can't be found.
std::filesystem::path ProgramDirectory(std::error_code& error);

// The plan file's 8-bit encoding: Windows-1252 (simulator_code_page.h; on Windows, the system's ANSI code
// page), one "?" for each character it cannot hold, lone surrogates included. Empty when the system
// cannot convert to its code page (Windows only).
std::optional<std::string> EncodeCodePage(TextView text);

// A letter beyond ASCII in the other case, by the system's full Unicode tables and never by the user's
// locale: MapLetterCase(U'\u00C9', LetterCase::Lower) == U'\u00E9'. The case mapping for ProperCase.
char32_t MapLetterCase(char32_t codePoint, LetterCase to);

// A file name as the file system takes it; empty when the platform cannot spell it (a lone surrogate
// in a UTF-8 file name).
std::optional<std::filesystem::path> PathFromText(TextView name);

// A path or a system message as text to show the user; bytes that are not valid become U+FFFD.
Text TextFromPath(const std::filesystem::path& path);
Text TextFromSystem(std::string_view message);

// Why a system call failed, in the system's own words and language: u"Permission denied" on Linux,
// u"Access is denied." on an English Windows.
Text SystemReason(const std::error_code& error);

// Whether `directory` lies inside the user's temporary folder, which the system may empty at any time
// (on Windows, where a program started from inside a zip runs from there); never on other systems.
bool IsInTemporaryFolder(const std::filesystem::path& directory);

// Writes `bytes` to a new file beside `target`, syncs and closes it, then renames it over `target`. On
// any failure the new file is removed, `target` is left exactly as it was, and the error is returned.
// As careful editors do: a `target` that is a symbolic link is replaced where the link points, so the
// link keeps working, and a link to no file is refused; an earlier file the user may not write to is not
// replaced (on Linux: read-only, or another owner's; on Windows: read-only, or denied by its access
// list); a replaced file keeps its permissions (on Windows, its attributes).
std::error_code ReplaceFileContents(const std::filesystem::path& target, std::string_view bytes);

}  // namespace dravik
