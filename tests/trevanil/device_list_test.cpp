#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "device_list.h"

namespace {

using Rows = std::vector<DeviceRow>;

// A path in the temporary folder that no other test program running at the same time
// uses (several build trees may run this test at once).
std::filesystem::path UniqueTempPath(const std::string& utf8Name)
{
    const std::string unique = std::to_string(std::random_device()()) + "_";
    return std::filesystem::temp_directory_path() / std::filesystem::u8path(unique + utf8Name);
}

// A file of its own in the temporary folder, removed at the end of the test.
class CTempFile
{
public:
    CTempFile(const std::string& utf8Name, const std::string& bytes) : m_path(UniqueTempPath(utf8Name))
    {
        std::ofstream out(m_path, std::ios::binary);
        out << bytes;
    }
    ~CTempFile()
    {
        std::error_code ignored;
        std::filesystem::remove(m_path, ignored);
    }
    std::string Utf8Path() const { return m_path.u8string(); }

private:
    std::filesystem::path m_path;
};

}  // namespace

TEST(DeviceListFile, HeaderIsDiscardedAndLinesSplitAtEveryComma)
{
    const DeviceList list = ParseDeviceList("anything at all,x\ncam1,,10.0.0.1\nb,,c,\n");
    EXPECT_EQ(list.rows, (Rows{{"cam1", "", "10.0.0.1"}, {"b", "", "c", ""}}));
    EXPECT_EQ(list.encoding, TextEncoding::Ansi);
}

TEST(DeviceListFile, CrLfAndLfGiveTheSameRows)
{
    const DeviceList lf = ParseDeviceList("h\na,b\n\nc\n");
    const DeviceList crlf = ParseDeviceList("h1,h2,h3\r\na,b\r\n\r\nc\r\n");
    EXPECT_EQ(lf.rows, (Rows{{"a", "b"}, {""}, {"c"}}));
    EXPECT_EQ(crlf.rows, lf.rows);
    // Only a CR right before the line feed goes; one inside a line, or at the very end
    // without a line feed, is text.
    EXPECT_EQ(ParseDeviceList("h\na\rb\r\nc\r").rows, (Rows{{"a\rb"}, {"c\r"}}));
    EXPECT_EQ(ParseDeviceList("h\na\r\r\n").rows, (Rows{{"a\r"}}));
}

TEST(DeviceListFile, FilesWithoutDataRows)
{
    for (const char* noData : {"", "header", "header\n", "header\r\n", "\xEF\xBB\xBFheader"}) {
        EXPECT_TRUE(ParseDeviceList(noData).rows.empty()) << noData;
    }
}

TEST(DeviceListFile, EmptyLinesAndEmptyFieldsAreRows)
{
    // One empty line: one row of one empty field.
    EXPECT_EQ(ParseDeviceList("h\n\n").rows, (Rows{{""}}));
    // The last line needs no line break; a final one adds nothing.
    EXPECT_EQ(ParseDeviceList("h\nlast").rows, (Rows{{"last"}}));
    EXPECT_EQ(ParseDeviceList("h\nlast\n").rows, (Rows{{"last"}}));
    EXPECT_EQ(ParseDeviceList("h\n\n\n").rows, (Rows{{""}, {""}}));
    // Eight commas: nine empty fields.
    EXPECT_EQ(ParseDeviceList("h\n,,,,,,,,\n").rows, (Rows{DeviceRow(9, "")}));
}

TEST(DeviceListFile, FieldsAreKeptAsTheyStand)
{
    // Quotes stay and do not protect a comma; spaces and case stay; bytes of any code
    // page pass unchanged.
    const DeviceList list = ParseDeviceList("h\n\"cam, one\", x ,AbC,\xC9\xE8\xB1\xB8\n");
    EXPECT_EQ(list.rows, (Rows{{"\"cam", " one\"", " x ", "AbC", "\xC9\xE8\xB1\xB8"}}));
    // No limit on a line's length or the number of fields.
    const std::string longName(100000, 'n');
    const DeviceList big = ParseDeviceList("h\n" + longName + std::string(5000, ',') + "\n");
    ASSERT_EQ(big.rows.size(), 1u);
    EXPECT_EQ(big.rows[0].size(), 5001u);
    EXPECT_EQ(big.rows[0][0], longName);
    // A NUL or Ctrl-Z byte ends nothing.
    EXPECT_EQ(ParseDeviceList(std::string("h\na\0b,\x1A\nc", 9)).rows,
              (Rows{{std::string("a\0b", 3), "\x1A"}, {"c"}}));
}

TEST(DeviceListFile, Utf8ByteOrderMarkMakesAUtf8List)
{
    const DeviceList list = ParseDeviceList("\xEF\xBB\xBFName,x\r\n\xE6\x91\x84\xE5\x83\x8F\xE6\x9C\xBA,1\r\n");
    EXPECT_EQ(list.encoding, TextEncoding::Utf8);
    EXPECT_EQ(list.rows, (Rows{{"\xE6\x91\x84\xE5\x83\x8F\xE6\x9C\xBA", "1"}}));
    // Only at the very start, and only the whole mark.
    EXPECT_EQ(ParseDeviceList("h\n\xEF\xBB\xBF" "a\n").encoding, TextEncoding::Ansi);
    EXPECT_EQ(ParseDeviceList("h\n\xEF\xBB\xBF" "a\n").rows, (Rows{{"\xEF\xBB\xBF" "a"}}));
    EXPECT_EQ(ParseDeviceList("\xEF\xBBh\na\n").encoding, TextEncoding::Ansi);
}

TEST(DeviceListFile, ReadFromAFileByItsPath)
{
    const CTempFile file("trevanil_list_test.csv", "\xEF\xBB\xBFh\r\ncam,,10.0.0.1\r\nx\x1Ay\r\n");
    const DeviceList list = ReadDeviceListFile(file.Utf8Path());
    EXPECT_EQ(list.rows, (Rows{{"cam", "", "10.0.0.1"}, {"x\x1Ay"}}));
    EXPECT_EQ(list.encoding, TextEncoding::Utf8);

    // A name outside ASCII (and outside any one ANSI code page) opens the same.
    const CTempFile wide("trevanil_\xE8\xAE\xBE\xE5\xA4\x87_\xCE\xB1\xCE\xB2.csv", "h\nrow\n");
    EXPECT_EQ(ReadDeviceListFile(wide.Utf8Path()).rows, (Rows{{"row"}}));
}

TEST(DeviceListFile, AFileThatCannotBeOpenedHasNoData)
{
    const std::filesystem::path missing = UniqueTempPath("trevanil_no_such_file.csv");
    const DeviceList list = ReadDeviceListFile(missing.u8string());
    EXPECT_TRUE(list.rows.empty());
    EXPECT_EQ(list.encoding, TextEncoding::Ansi);
    EXPECT_TRUE(ReadDeviceListFile("").rows.empty());
    EXPECT_TRUE(ReadDeviceListFile(std::filesystem::temp_directory_path().u8string()).rows.empty());
    // Not UTF-8: names no file.
    EXPECT_TRUE(ReadDeviceListFile("bad\xFF\xFEname.csv").rows.empty());
    // The checked read tells these apart from a file without data.
    for (const std::string& unreadable : {missing.u8string(), std::string(),
                                          std::filesystem::temp_directory_path().u8string(),
                                          std::string("bad\xFF\xFEname.csv")})
        EXPECT_FALSE(TryReadDeviceListFile(unreadable)) << unreadable;
    const CTempFile headerOnly("trevanil_header_only.csv", "h\r\n");
    const std::optional<DeviceList> empty = TryReadDeviceListFile(headerOnly.Utf8Path());
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->rows.empty());
}
