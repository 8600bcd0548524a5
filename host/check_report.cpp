#include "check_report.h"

#include <initializer_list>
#include <string_view>

#include "host_texts.h"
#include "ui_texts.h"

namespace trevanil_host {
namespace {

using CheckTexts = HostTexts::Check;

const CheckTexts& TextsFor(int language) { return HostTextsFor(language).check; }

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
    return FillText(RowPattern(row, TextsFor(language)),
                {std::to_string(row.number), field(row.name), field(row.id), field(row.deviceIp), platform,
                 field(row.platformPortText), field(row.platformIp)});
}

std::vector<std::string> FormatDuplicateLines(const ListCheck& check, int language, const FieldToUtf8& field)
{
    const CheckTexts& texts = TextsFor(language);
    std::vector<std::string> lines;
    for (const DuplicateGroup& group : check.duplicateIds)
        lines.push_back(FillText(texts.duplicateId, {field(group.key), RowList(group.rows, texts)}));
    for (const DuplicateGroup& group : check.duplicateIps)
        lines.push_back(FillText(texts.duplicateIp,
                             {field(group.key), RowList(group.rows, texts), std::to_string(group.rows.back())}));
    return lines;
}

std::string FormatSummary(const ListCheck& check, int language)
{
    auto count = [&](RowVerdict verdict) { return std::to_string(check.Count(verdict)); };
    std::string summary =
        FillText(TextsFor(language).summary,
             {std::to_string(check.rows.size()), count(RowVerdict::Write), count(RowVerdict::Incomplete),
              count(RowVerdict::GbRefused), count(RowVerdict::OwnPortInvalid), count(RowVerdict::IpTextRefused),
              std::to_string(check.duplicateIds.size()), std::to_string(check.duplicateIps.size())});
    if (check.rows.empty()) {
        // What the run itself says of such a file.
        summary = std::string(LanguageTextsFor(language).ui.textNoData) + "\n" + summary;
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
    if (left) text += "\n" + FillText(TextsFor(language).more, {std::to_string(left)});
    return text;
}

std::string CheckTitle(int language) { return TextsFor(language).title; }

std::string CannotReadText(int language, const std::string& utf8Path)
{
    return FillText(TextsFor(language).cannotRead, {utf8Path});
}

int CheckExitCode(const ListCheck& check) { return !check.rows.empty() && check.AllClear() ? 0 : 1; }

} // namespace trevanil_host
