// The device list file: a header line, then one device per line, fields split at
// every ",". No quoting, no trimming: fields are the file's bytes as they stand.
#pragma once
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// How the bytes of a file's fields are to be read as text.
enum class TextEncoding
{
    Ansi,  // the system's ANSI code page (every file without a UTF-8 byte-order mark)
    Utf8,  // the file began with the UTF-8 byte-order mark (which is not kept)
};

// The fields of one line, in order; a line with n commas has n + 1 fields.
using DeviceRow = std::vector<std::string>;

struct DeviceList
{
    std::vector<DeviceRow> rows;  // file order, header excluded; empty: no data
    TextEncoding encoding = TextEncoding::Ansi;
};

// Splits one line at every ",": "a,,b," gives "a", "", "b", "".
DeviceRow SplitDeviceLine(std::string_view line);

// Reads a whole device list. Lines end at LF; a CR right before the LF goes with it.
// The header is discarded whatever it holds; a file that ends inside its header has
// no data. Every further line is a row (an empty line is a row of one empty field);
// nothing after the last line break makes no row. No limit on rows or line length.
DeviceList ReadDeviceList(std::istream& in);
DeviceList ParseDeviceList(std::string_view bytes);

// As ReadDeviceList on the file at the path (UTF-8, so any file name can be named on
// every system). A file that cannot be opened or read reads as no data.
DeviceList ReadDeviceListFile(const std::string& utf8Path);
// The same, but nothing when the file cannot be opened or read (a folder, a missing file).
std::optional<DeviceList> TryReadDeviceListFile(const std::string& utf8Path);
