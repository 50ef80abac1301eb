// Differential fuzzing of the wildcard matcher against a small reference matcher that tries every
// split, memoised: slow but obviously right. Any disagreement aborts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "text/text.h"

namespace {

using dravik::Text;

// Patterns and texts come from small alphabets so that matches are common enough to be interesting.
constexpr char16_t kPatternAlphabet[] = {u'?', u'#', u'*',      u'*',      u'a',
                                         u'b', u'1', u'\u00B0', u'\u0661', u'\n'};
constexpr char16_t kTextAlphabet[] = {u'a', u'b', u'1', u'9', u'\u00B0', u'\u0661', u'\n', u'*', u'?', u'#'};

bool ReferenceMatch(const Text& text, const Text& pattern) {
    // memo[t][p]: 0 unknown, 1 no, 2 yes
    std::vector<std::vector<char>> memo(text.size() + 1, std::vector<char>(pattern.size() + 1, 0));
    const auto match = [&](auto& self, std::size_t t, std::size_t p) -> bool {
        char& known = memo[t][p];
        if (known != 0) {
            return known == 2;
        }
        bool result = false;
        if (p == pattern.size()) {
            result = t == text.size();
        } else if (pattern[p] == u'*') {
            result = self(self, t, p + 1) || (t < text.size() && self(self, t + 1, p));
        } else if (t < text.size()) {
            const char16_t have = text[t];
            const bool one = pattern[p] == u'?' ||
                             (pattern[p] == u'#' ? have >= u'0' && have <= u'9' : have == pattern[p]);
            result = one && self(self, t + 1, p + 1);
        }
        known = result ? 2 : 1;
        return result;
    };
    return match(match, 0, 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > 400) {
        return 0;
    }
    const std::size_t patternLength = data[0] % 40;
    Text pattern;
    Text text;
    for (std::size_t i = 1; i < size; ++i) {
        if (pattern.size() < patternLength) {
            pattern += kPatternAlphabet[data[i] % std::size(kPatternAlphabet)];
        } else {
            text += kTextAlphabet[data[i] % std::size(kTextAlphabet)];
        }
    }
    if (dravik::MatchesPattern(text, pattern) != ReferenceMatch(text, pattern)) {
        std::abort();
    }
    return 0;
}
