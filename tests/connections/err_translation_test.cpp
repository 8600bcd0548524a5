#include <gtest/gtest.h>

#include <climits>
#include <set>

#include "err_translation.h"

namespace {

struct Row {
    int err;
    int code;
};

// Rows of the described tables, chosen by hand and written as the tables give them: both
// ends of every range row, the rows the formulas do not cover, the rows out of order and
// the values just outside a row. Never computed from a rule, so a wrong row in the
// implementation's table cannot agree with them by construction.
constexpr Row kErrV5Rows[] = {
    {0, 0},    {-1, 1},    {-2, 2},   {-3, 2},   {-4, 2},   {-5, 3},   {-6, 4},   {-16, 14},
    {-31, 29}, {-32, 30},  {-33, -1}, {-39, -1}, {-40, 31}, {-41, 32}, {-42, -1}, {-49, -1},
    {-50, 33}, {-51, 34},  {-52, -1}, {-59, -1}, {-60, 35}, {-61, 36}, {-62, 37}, {-63, -1},
    {-82, -1}, {-83, 45},  {-84, 44}, {-85, 43}, {-86, 42}, {-87, 41}, {-88, 40}, {-89, 39},
    {-90, -1}, {-99, -1},  {-100, 38}, {-101, -1}, {1, -1}, {5, -1},
};

constexpr Row kErrV7Rows[] = {
    {0, -1},   {1, 0},     {2, 11},   {3, 48},   {4, 1},    {5, 49},   {6, 50},   {7, 7},
    {8, 2},    {9, 51},    {11, 53},  {13, 55},  {14, -1},  {100, -1}, {150, -1}, {200, -1},
    {201, 14}, {202, 41},  {203, 56}, {204, 41}, {205, 57}, {206, 57}, {207, 57}, {208, 60},
    {209, 61}, {210, 62},  {211, 62}, {212, 64}, {213, 65}, {214, 66}, {217, 69}, {220, 72},
    {232, 84}, {233, 85},  {234, -1}, {-1, -1},
};

}  // namespace

TEST(ErrTranslation, ChosenErrV5RowsMapAsTheTableSays)
{
    for (const Row& row : kErrV5Rows) EXPECT_EQ(row.code, TranslateErrV5(row.err)) << "errV5 " << row.err;
}

TEST(ErrTranslation, ChosenErrV7RowsMapAsTheTableSays)
{
    for (const Row& row : kErrV7Rows) EXPECT_EQ(row.code, TranslateErrV7(row.err)) << "errV7 " << row.err;
}

TEST(ErrTranslation, ErrV5OutsideItsRangeGivesMinusOneAndInsideOnlyTheDocumentedCodes)
{
    for (int err = 1; err <= 300; ++err) EXPECT_EQ(-1, TranslateErrV5(err)) << err;
    for (int err = -101; err >= -300; --err) EXPECT_EQ(-1, TranslateErrV5(err)) << err;
    EXPECT_EQ(TranslateErrV5(INT_MIN), -1);
    EXPECT_EQ(TranslateErrV5(INT_MAX), -1);
    // Inside -100..0 every code from 0 to 45 is produced, each of 0, 1 and 3..45 by one value
    // only, 2 by three; nothing else but -1.
    std::multiset<int> produced;
    for (int err = -100; err <= 0; ++err) {
        const int code = TranslateErrV5(err);
        EXPECT_TRUE(code == -1 || (code >= 0 && code <= 45)) << err << " gives " << code;
        if (code != -1) produced.insert(code);
    }
    for (int code = 0; code <= 45; ++code) EXPECT_EQ(code == 2 ? 3u : 1u, produced.count(code)) << code;
}

TEST(ErrTranslation, ErrV7OutsideItsRowsGivesMinusOneAndNoValueGivesCode58Or59Or63)
{
    for (int err = 234; err <= 600; ++err) EXPECT_EQ(-1, TranslateErrV7(err)) << err;
    for (int err = 0; err >= -300; --err) EXPECT_EQ(-1, TranslateErrV7(err)) << err;
    EXPECT_EQ(TranslateErrV7(INT_MIN), -1);
    EXPECT_EQ(TranslateErrV7(INT_MAX), -1);
    for (int err = 14; err <= 200; ++err) EXPECT_EQ(-1, TranslateErrV7(err)) << err;
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
    SetCodeFromErrV7(&code, 233);
    EXPECT_EQ(code, 85);
}
