// The log's texts: day file path, line and dump file name, all bounded.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "log_line.h"

namespace {
const LogTime kMorning{2024, 3, 7, 9, 5, 3};
}

TEST(LogText, DayFileAndDumpNamesComeFromTheReading)
{
    char path[kLogPathCapacity];
    ASSERT_TRUE(FormatLogFilePath(path, sizeof path, "C:\\orvex\\", kMorning));
    EXPECT_STREQ("C:\\orvex\\Log\\Log_2024_03_07.txt", path);
    ASSERT_TRUE(FormatDumpFilePath(path, sizeof path, "C:\\orvex\\", kMorning));
    EXPECT_STREQ("C:\\orvex\\orvex_240307090503.dmp", path);
    ASSERT_TRUE(FormatDumpFilePath(path, sizeof path, "C:\\orvex\\", LogTime{2100, 12, 31, 23, 59, 59}));
    EXPECT_STREQ("C:\\orvex\\orvex_001231235959.dmp", path);
}

TEST(LogText, PathThatDoesNotFitIsRefusedNotCut)
{
    char path[24];
    EXPECT_FALSE(FormatLogFilePath(path, sizeof path, "C:\\a-long-root\\", kMorning));
    EXPECT_STREQ("", path);
    EXPECT_FALSE(FormatDumpFilePath(path, sizeof path, "C:\\a-long-root\\", kMorning));
    EXPECT_STREQ("", path);
}

TEST(LogText, LineHasTimeFunctionLineAndMessageAsGiven)
{
    char line[kLogLineCapacity];
    std::size_t length = FormatLogLine(line, sizeof line, kMorning, "CreateMiniDump", 15, "start create mini dump.");
    EXPECT_EQ(std::string("[09:05:03]CreateMiniDump:15 start create mini dump.\r\n"), std::string(line, length));

    length = FormatLogLine(line, sizeof line, kMorning, "PuManager::Connect", 7, "");
    EXPECT_EQ(std::string("[09:05:03]PuManager::Connect:7 \r\n"), std::string(line, length));

    length = FormatLogLine(line, sizeof line, kMorning, "f", 1, "a\r\nb\nc");
    EXPECT_EQ(std::string("[09:05:03]f:1 a\r\nb\nc\r\n"), std::string(line, length)) << "not escaped";

    length = FormatLogLine(line, sizeof line, kMorning, nullptr, 2, nullptr);
    EXPECT_EQ(std::string("[09:05:03]:2 \r\n"), std::string(line, length));
}

TEST(LogText, LongLineIsCutToTheBufferAndStillEndsWithCrLf)
{
    const std::string message(3000, 'x');
    char line[kLogLineCapacity + 16];
    std::memset(line, 'G', sizeof line);
    const std::size_t length = FormatLogLine(line, kLogLineCapacity, kMorning, "f", 1, message.c_str());
    ASSERT_EQ(kLogLineCapacity - 1, length);
    EXPECT_EQ(length, std::strlen(line));
    EXPECT_EQ(0, std::strncmp(line, "[09:05:03]f:1 xxx", 17));
    EXPECT_EQ('x', line[length - 3]);
    EXPECT_EQ('\r', line[length - 2]);
    EXPECT_EQ('\n', line[length - 1]);
    for (std::size_t i = kLogLineCapacity; i < sizeof line; ++i) EXPECT_EQ('G', line[i]);

    // A line of exactly 2047 characters is kept whole.
    const std::string fits(kLogLineCapacity - 1 - std::strlen("[09:05:03]f:1 \r\n"), 'y');
    EXPECT_EQ(kLogLineCapacity - 1, FormatLogLine(line, kLogLineCapacity, kMorning, "f", 1, fits.c_str()));
    EXPECT_EQ('y', line[kLogLineCapacity - 4]);
}
