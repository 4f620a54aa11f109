// Inputs the pattern fuzzer (fuzz/pattern_fuzz.cpp) found answered wrongly,
// kept so that they stay answered right.
#include "browser/pattern.h"

#include <gtest/gtest.h>

namespace corvan {
namespace {

struct Finding {
    const char* patterns;
    const char* name;
    bool matches;
};

class PatternFuzzFindings : public ::testing::TestWithParam<Finding> {};

// A "*" of the pattern that meets a "*" of the name (names here may hold
// one) was taken as that character, and the rest of the name then failed.
TEST_P(PatternFuzzFindings, AnswerAsTheWildcardRulesSay)
{
    const Finding f = GetParam();
    EXPECT_EQ(PatternList(QString::fromUtf8(f.patterns)).Matches(QString::fromUtf8(f.name)), f.matches)
        << f.patterns << " against " << f.name;
}

INSTANTIATE_TEST_SUITE_P(StarInTheName, PatternFuzzFindings,
                         ::testing::Values(Finding{"?aW*", "baW*\nbar.wav", true}, Finding{"*.mp3", "*x.mp3", true},
                                           Finding{"*.MP3", "**.mp3", true}, Finding{"a*c", "a*bc", true},
                                           Finding{"a*c", "a*b", false}));

}  // namespace
}  // namespace corvan
