// Building a library's path in the host program's directory, bounded by the buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "library_path.h"

TEST(BuildLibraryPath, KeepsTheDirectoryWithItsBackslashAndAppendsTheName)
{
    char buffer[260];
    ASSERT_TRUE(BuildLibraryPath(buffer, sizeof buffer, "C:\\Program Files\\Host\\host.exe", "ravicore.dll"));
    EXPECT_STREQ("C:\\Program Files\\Host\\ravicore.dll", buffer);

    ASSERT_TRUE(BuildLibraryPath(buffer, sizeof buffer, "host.exe", "ravimedia.dll"));
    EXPECT_STREQ("ravimedia.dll", buffer);
}

TEST(BuildLibraryPath, RefusesWhatDoesNotFitWithoutWritingBeyondTheBuffer)
{
    const std::string dir = "C:\\d\\";
    const std::string exe = dir + "h.exe";
    char buffer[32 + 8];
    std::memset(buffer, 'G', sizeof buffer);
    // Exactly fits: 5 + 26 characters and the terminator make 32.
    ASSERT_TRUE(BuildLibraryPath(buffer, 32, exe.c_str(), std::string(26, 'n').c_str()));
    EXPECT_EQ(31u, std::strlen(buffer));
    EXPECT_EQ('G', buffer[32]);

    // One more character does not fit: refused, buffer empty, guard bytes untouched.
    std::memset(buffer, 'G', sizeof buffer);
    EXPECT_FALSE(BuildLibraryPath(buffer, 32, exe.c_str(), std::string(27, 'n').c_str()));
    EXPECT_EQ('\0', buffer[0]);
    for (std::size_t i = 1; i < sizeof buffer; ++i) EXPECT_EQ('G', buffer[i]) << i;

    EXPECT_FALSE(BuildLibraryPath(buffer, sizeof buffer, nullptr, "x"));
    EXPECT_FALSE(BuildLibraryPath(buffer, sizeof buffer, exe.c_str(), nullptr));
}
