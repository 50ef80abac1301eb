// Windows' own words for an error code, as the running system gives them (its display language, and
// Wine's wording under Wine), for tests that must hold on any Windows: SystemWords(ERROR_ACCESS_DENIED)
// is "Access is denied." on an English Windows and "Access denied." under Wine.
#pragma once

#ifdef _WIN32
#include <windows.h>

#include "text/text.h"

namespace dravik::testkit {

inline Text SystemWords(DWORD code) {
    wchar_t* words = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, 0, reinterpret_cast<wchar_t*>(&words), 0, nullptr);
    Text text(words, words + length);
    LocalFree(words);
    while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r' || text.back() == u' ')) {
        text.pop_back();
    }
    return text;
}

}  // namespace dravik::testkit
#endif
