// What platform_windows.cpp offers beyond platform.h, for its own tests: the code page conversion with
// the system's function given, and the long-path form of a path.
#pragma once

#include <optional>
#include <string>

#include "text/text.h"

namespace dravik {

// WideCharToMultiByte's shape; tests pass a double that keeps Microsoft's rules for the call.
using WideToCodePage = int(__stdcall*)(unsigned codePage, unsigned long flags, const wchar_t* wide,
                                       int wideLength, char* bytes, int size, const char* defaultChar,
                                       int* usedDefaultChar);

// EncodeCodePage for the given code page and conversion: 1252, 1251, 65001 (UTF-8), ...
std::optional<std::string> EncodeCodePage(TextView text, unsigned codePage, WideToCodePage convert);

// `path` as the save hands it to Windows: absolute, with the \\?\ prefix that lifts the 260-character
// limit. ExtendedPath(L"C:\\Dravik\\A-B.PLN") == L"\\\\?\\C:\\Dravik\\A-B.PLN".
std::wstring ExtendedPath(const std::wstring& path);

}  // namespace dravik
