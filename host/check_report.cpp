#include "check_report.h"

#include <initializer_list>
#include <string_view>

#include "ui_texts.h"

namespace trevanil_host {
namespace {

// Patterns: %1 .. %9 stand for the values handed to Fill, in order.
struct CheckTexts {
    const char* title;
    const char* cannotRead;     // %1 path
    // Rows: %1 number, %2 name, %3 ID, %4 device IP, %5 platform ip:port, %6 own port
    // text, %7 own platform IP.
    const char* write;
    const char* writeOwn;
    const char* writeDialog;
    const char* incomplete;
    const char* gb;
    const char* ownPort;
    const char* badDeviceIp;
    const char* badPlatformIp;
    const char* badBothIps;
    // Duplicates: %1 ID or IP, %2 the rows, %3 the last row.
    const char* duplicateId;
    const char* duplicateIp;
    const char* rowSeparator;
    // %1 rows, %2..%6 the verdicts' counts in RowVerdict order, %7 duplicate IDs, %8 duplicate IPs.
    const char* summary;
    const char* more;  // %1 lines left out
};

const CheckTexts kChinese = {
    "检查设备列表",
    "无法读取设备信息文件：%1",
    "第%1行  %2  %3  %4：将写入，平台 %5",
    "第%1行  %2  %3  %4：将写入，平台 %5（本行自带）",
    "第%1行  %2  %3  %4：将写入，平台为对话框中填写的地址",
    "第%1行：设备信息不全（需要设备名、设备IP和设备编号），不写入",
    "第%1行  %2  %3  %4：国标设备，不写入",
    "第%1行  %2  %3  %4：本行的平台端口“%6”不在1~65535之间，不写入",
    "第%1行  %2  %3：设备IP“%4”不是IPv4地址，orvex拒绝写入（错误码72）",
    "第%1行  %2  %3  %4：平台IP“%7”不是IPv4地址，orvex拒绝写入（错误码72）",
    "第%1行  %2  %3：设备IP“%4”和平台IP“%7”不是IPv4地址，orvex拒绝写入（错误码72）",
    "重复的设备编号 %1：第%2行（平台不能在同一编号下保存两台设备）",
    "重复的设备IP %1：第%2行（同一设备被写入多次，只保留第%3行的名称和编号）",
    "、",
    "汇总：共%1行，将写入%2行，信息不全%3行，国标设备%4行，平台端口不合法%5行，IP地址被orvex拒绝%6行；"
    "重复的设备编号%7个，重复的设备IP%8个",
    "……另有%1行未列出",
};

const CheckTexts kEnglish = {
    "Check device list",
    "The device information file cannot be read: %1",
    "row %1  %2  %3  %4: will be written, platform %5",
    "row %1  %2  %3  %4: will be written, platform %5 (its own)",
    "row %1  %2  %3  %4: will be written, platform as entered in the dialog",
    "row %1: incomplete (a device name, device IP and device ID are needed), not written",
    "row %1  %2  %3  %4: GB device, not written",
    "row %1  %2  %3  %4: its own platform port \"%6\" is not 1-65535, not written",
    "row %1  %2  %3: device IP \"%4\" is not an IPv4 address, orvex refuses it (code 72)",
    "row %1  %2  %3  %4: platform IP \"%7\" is not an IPv4 address, orvex refuses it (code 72)",
    "row %1  %2  %3: device IP \"%4\" and platform IP \"%7\" are not IPv4 addresses, orvex refuses them (code 72)",
    "duplicate device ID %1: rows %2 (the platform cannot hold two devices under one ID)",
    "duplicate device IP %1: rows %2 (the same device is written more than once; only the name and ID of row %3 stay)",
    ", ",
    "summary: %1 rows: %2 will be written, %3 incomplete, %4 GB devices, %5 with an invalid own platform port, "
    "%6 with an IP address orvex refuses; %7 duplicate device IDs, %8 duplicate device IPs",
    "... and %1 more lines",
};

const CheckTexts& TextsFor(int language) { return language == kLanguageEnglish ? kEnglish : kChinese; }

// The pattern with %1 .. %9 replaced by the values (a value not given stays empty).
std::string Fill(std::string_view pattern, std::initializer_list<std::string> values)
{
    std::string out;
    out.reserve(pattern.size() + 64);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const std::size_t index = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (index < values.size()) out += values.begin()[index];
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

const char* RowPattern(const RowCheck& row, const CheckTexts& texts)
{
    switch (row.verdict) {
    case RowVerdict::Write:
        return !row.platformKnown ? texts.writeDialog : row.ownPlatform ? texts.writeOwn : texts.write;
    case RowVerdict::Incomplete: return texts.incomplete;
    case RowVerdict::GbRefused: return texts.gb;
    case RowVerdict::OwnPortInvalid: return texts.ownPort;
    case RowVerdict::IpTextRefused:
        return row.badDeviceIp && row.badPlatformIp ? texts.badBothIps
               : row.badDeviceIp                    ? texts.badDeviceIp
                                                    : texts.badPlatformIp;
    }
    return texts.incomplete;
}

std::string RowList(const std::vector<std::size_t>& rows, const CheckTexts& texts)
{
    std::string list;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i) list += texts.rowSeparator;
        list += std::to_string(rows[i]);
    }
    return list;
}

} // namespace

std::string FormatRowLine(const RowCheck& row, int language, const FieldToUtf8& field)
{
    const std::string platform =
        row.platformKnown ? field(row.platformIp) + ":" + std::to_string(row.platformPort) : std::string();
    return Fill(RowPattern(row, TextsFor(language)),
                {std::to_string(row.number), field(row.name), field(row.id), field(row.deviceIp), platform,
                 field(row.platformPortText), field(row.platformIp)});
}

std::vector<std::string> FormatDuplicateLines(const ListCheck& check, int language, const FieldToUtf8& field)
{
    const CheckTexts& texts = TextsFor(language);
    std::vector<std::string> lines;
    for (const DuplicateGroup& group : check.duplicateIds)
        lines.push_back(Fill(texts.duplicateId, {field(group.key), RowList(group.rows, texts)}));
    for (const DuplicateGroup& group : check.duplicateIps)
        lines.push_back(Fill(texts.duplicateIp,
                             {field(group.key), RowList(group.rows, texts), std::to_string(group.rows.back())}));
    return lines;
}

std::string FormatSummary(const ListCheck& check, int language)
{
    auto count = [&](RowVerdict verdict) { return std::to_string(check.Count(verdict)); };
    std::string summary =
        Fill(TextsFor(language).summary,
             {std::to_string(check.rows.size()), count(RowVerdict::Write), count(RowVerdict::Incomplete),
              count(RowVerdict::GbRefused), count(RowVerdict::OwnPortInvalid), count(RowVerdict::IpTextRefused),
              std::to_string(check.duplicateIds.size()), std::to_string(check.duplicateIps.size())});
    if (check.rows.empty()) {
        // What the run itself says of such a file.
        const LanguageTexts* run = FindLanguageTexts(language == kLanguageEnglish ? kLanguageEnglish : kLanguageChinese);
        summary = std::string(run->ui.textNoData) + "\n" + summary;
    }
    return summary;
}

std::vector<std::string> FormatCheckLines(const ListCheck& check, int language, const FieldToUtf8& field)
{
    std::vector<std::string> lines;
    lines.reserve(check.rows.size() + check.duplicateIds.size() + check.duplicateIps.size() + 1);
    for (const RowCheck& row : check.rows) lines.push_back(FormatRowLine(row, language, field));
    for (std::string& line : FormatDuplicateLines(check, language, field)) lines.push_back(std::move(line));
    lines.push_back(FormatSummary(check, language));
    return lines;
}

std::string FormatProblems(const ListCheck& check, int language, const FieldToUtf8& field, std::size_t maxLines)
{
    std::string text = FormatSummary(check, language);
    std::size_t shown = 0, left = 0;
    auto add = [&](const std::string& line) {
        if (shown < maxLines) {
            text += "\n" + line;
            ++shown;
        } else {
            ++left;
        }
    };
    for (const std::string& line : FormatDuplicateLines(check, language, field)) add(line);
    for (const RowCheck& row : check.rows)
        if (row.verdict != RowVerdict::Write) add(FormatRowLine(row, language, field));
    if (left) text += "\n" + Fill(TextsFor(language).more, {std::to_string(left)});
    return text;
}

std::string CheckTitle(int language) { return TextsFor(language).title; }

std::string CannotReadText(int language, const std::string& utf8Path)
{
    return Fill(TextsFor(language).cannotRead, {utf8Path});
}

int CheckExitCode(const ListCheck& check) { return !check.rows.empty() && check.AllClear() ? 0 : 1; }

} // namespace trevanil_host
