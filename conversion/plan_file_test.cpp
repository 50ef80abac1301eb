#include "conversion/plan_file.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/platform.h"
#include "testing/test_support.h"

namespace dravik {
namespace {

using namespace testing;  // the shared helpers of test_support.h

TEST(EncodingTest, EncodePlanEndsEveryLineWithCrLf) {
    EXPECT_EQ(EncodePlan({u"a", u"", u"\u00E9"}), std::string("a\r\n\r\n\xE9\r\n"));
    EXPECT_EQ(EncodePlan({}), std::string());
}

TEST(PlatformTest, ProgramDirectoryHoldsThisTest) {
    std::error_code error;
    const std::filesystem::path directory = ProgramDirectory(error);
    ASSERT_FALSE(error) << error.message();
    EXPECT_TRUE(std::filesystem::exists(directory / "plan_file_test") ||
                std::filesystem::exists(directory / "plan_file_test.exe"));
}

}  // namespace
}  // namespace dravik
