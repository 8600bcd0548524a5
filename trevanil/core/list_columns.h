// The dialog's result list, as data: its columns in order, each with its captions, its
// width and the field of a list item it shows. The dialog builds its list from this
// table, and every reader of the list (the host's record, its results file and console
// table) reads the columns through it, so a column is added or moved here alone.
#pragma once
#include <array>
#include <string>

// Language numbers as the host passes them to SetLangue.
constexpr int kLanguageChinese = 1;
constexpr int kLanguageEnglish = 2;

// One item of the result list as a reader of it sees it (UTF-8).
struct ListItem { std::string number, deviceName, deviceId, result; };

struct ListColumnSpec { const char* chinese; const char* english; int width; std::string ListItem::*field; };

// Left-aligned, in this order; widths in pixels. The source is UTF-8.
inline constexpr ListColumnSpec kListColumns[] = {
    {"序号", "No.", 100, &ListItem::number},
    {"设备名", "Device Name", 120, &ListItem::deviceName},
    {"设备编号", "Device ID", 180, &ListItem::deviceId},
    {"结果", "Operation Result", 200, &ListItem::result},
};
inline constexpr int kListColumnCount = static_cast<int>(std::size(kListColumns));

constexpr int ListColumnOf(std::string ListItem::*field)
{
    for (int i = 0; i < kListColumnCount; ++i)
        if (kListColumns[i].field == field) return i;
    return -1;
}

// The columns the batch run fills.
namespace ListColumn {
inline constexpr int kNumber = ListColumnOf(&ListItem::number), kDeviceName = ListColumnOf(&ListItem::deviceName),
                     kDeviceId = ListColumnOf(&ListItem::deviceId), kResult = ListColumnOf(&ListItem::result);
}  // namespace ListColumn

// One language's caption and width of each column, in the table's order.
struct ListColumnText { const char* caption; int width; };
using ListColumnTexts = std::array<ListColumnText, kListColumnCount>;

constexpr ListColumnTexts ListColumnTextsIn(int language)
{
    ListColumnTexts texts{};
    for (int i = 0; i < kListColumnCount; ++i)
        texts[i] = {language == kLanguageEnglish ? kListColumns[i].english : kListColumns[i].chinese,
                    kListColumns[i].width};
    return texts;
}
