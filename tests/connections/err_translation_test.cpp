#include <gtest/gtest.h>

#include <climits>
#include <map>

#include "err_translation.h"

namespace {

// The translation tables written out value by value; every other value gives -1.
std::map<int, int> ExpectedV5()
{
    std::map<int, int> codes = {{0, 0},    {-1, 1},   {-2, 2},   {-3, 2},   {-4, 2},   {-40, 31},
                                {-41, 32}, {-50, 33}, {-51, 34}, {-60, 35}, {-61, 36}, {-62, 37},
                                {-100, 38}, {-89, 39}, {-88, 40}, {-87, 41}, {-86, 42}, {-85, 43},
                                {-84, 44}, {-83, 45}};
    for (int err = -5; err >= -32; --err) codes[err] = -err - 2;
    return codes;
}

std::map<int, int> ExpectedV7()
{
    std::map<int, int> codes = {{1, 0},    {2, 11},   {3, 48},   {4, 1},    {5, 49},   {6, 50},
                                {7, 7},    {8, 2},    {201, 14}, {202, 41}, {203, 56}, {204, 41},
                                {205, 57}, {206, 57}, {207, 57}, {208, 60}, {209, 61}, {210, 62},
                                {211, 62}};
    for (int err = 9; err <= 13; ++err) codes[err] = err + 42;
    for (int err = 212; err <= 233; ++err) codes[err] = err - 148;
    return codes;
}

int Lookup(const std::map<int, int>& codes, int err)
{
    auto found = codes.find(err);
    return found == codes.end() ? -1 : found->second;
}

}  // namespace

TEST(ErrTranslation, EveryErrV5ValueMapsAsTheTableSays)
{
    const auto codes = ExpectedV5();
    for (int err = -300; err <= 300; ++err) EXPECT_EQ(TranslateErrV5(err), Lookup(codes, err)) << err;
    EXPECT_EQ(TranslateErrV5(INT_MIN), -1);
    EXPECT_EQ(TranslateErrV5(INT_MAX), -1);
    // The cases operators meet most.
    EXPECT_EQ(TranslateErrV5(-33), -1);
    EXPECT_EQ(TranslateErrV5(5), -1);
    EXPECT_EQ(TranslateErrV5(-5), 3);
    EXPECT_EQ(TranslateErrV5(-32), 30);
}

TEST(ErrTranslation, EveryErrV7ValueMapsAsTheTableSays)
{
    const auto codes = ExpectedV7();
    for (int err = -300; err <= 600; ++err) EXPECT_EQ(TranslateErrV7(err), Lookup(codes, err)) << err;
    EXPECT_EQ(TranslateErrV7(INT_MIN), -1);
    EXPECT_EQ(TranslateErrV7(INT_MAX), -1);
    EXPECT_EQ(TranslateErrV7(150), -1);
    EXPECT_EQ(TranslateErrV7(234), -1);
    for (int code : {58, 59, 63})
        for (int err = -300; err <= 600; ++err) EXPECT_NE(TranslateErrV7(err), code) << err;
}

TEST(ErrTranslation, ReportingHelpersOverwriteTheSlot)
{
    int code = 99;
    SetCodeFromErrV5(&code, -83);
    EXPECT_EQ(code, 45);
    SetCodeFromErrV7(&code, 0);
    EXPECT_EQ(code, -1);
}
