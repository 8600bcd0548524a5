// The check before writing: each row judged as the run judges it, the IP texts as orvex
// does, the duplicates a run cannot see, the report in both languages and the command line.
#include <gtest/gtest.h>

#include "check_options.h"
#include "check_report.h"
#include "list_check.h"
#include "ui_texts.h"

namespace trevanil_host {
namespace {

const std::string kHeader = "name,t,ip,user,pw,5,6,7,id,9,10,11,gb,platform ip,platform port\r\n";

std::string Same(const std::string& text) { return text; }

ListCheck Check(const std::string& rows, std::optional<DialogPlatform> platform = DialogPlatform{"10.0.0.5", "9000"})
{
    return CheckDeviceList(ParseDeviceList(kHeader + rows), platform);
}

std::vector<RowVerdict> Verdicts(const ListCheck& check)
{
    std::vector<RowVerdict> verdicts;
    for (const RowCheck& row : check.rows) verdicts.push_back(row.verdict);
    return verdicts;
}

TEST(ListCheck, EachRowAsTheRunAndOrvexJudgeIt)
{
    const ListCheck check = Check("cam1,,10.0.0.1,,,,,,PU-1\r\n"                    // the dialog's platform
                                  "#cam2,,010.0.0.2,,,,,,#PU-2,,,,0,10.0.0.6,9100\r\n"  // its own; "010" is decimal
                                  "cam3,,10.0.0.3\r\n"                              // too short
                                  "#,,10.0.0.4,,,,,,PU-4\r\n"                       // a name of "#" only
                                  "cam5,,10.0.0.5,,,,,,PU-5,,,,1\r\n"               // GB
                                  "cam6,,10.0.0.6,,,,,,PU-6,,,,abc\r\n"             // not a number: not GB
                                  "cam7,,10.0.0.7,,,,,,PU-7,,,,0,10.0.0.6,70000\r\n"
                                  "cam8,,10.0.0.8,,,,,,PU-8,,,,0,10.0.0.6,x\r\n"
                                  "cam9,,10.0.0.300,,,,,,PU-9\r\n"
                                  "cam10,,10.0.0.10,,,,,,PU-10,,,,0,10.0.0.1 ,9100\r\n"
                                  "cam11,,10.0.0.11,,,,,,PU-11,,,,0,10.0.0.6\r\n");  // 14 fields: no own platform
    using V = RowVerdict;
    EXPECT_EQ(Verdicts(check), (std::vector<V>{V::Write, V::Write, V::Incomplete, V::Incomplete, V::GbRefused, V::Write,
                                               V::OwnPortInvalid, V::OwnPortInvalid, V::IpTextRefused,
                                               V::IpTextRefused, V::Write}));
    EXPECT_EQ(check.rows[0].platformIp + ":" + std::to_string(check.rows[0].platformPort), "10.0.0.5:9000");
    EXPECT_FALSE(check.rows[0].ownPlatform);
    EXPECT_EQ(check.rows[1].platformIp + ":" + std::to_string(check.rows[1].platformPort), "10.0.0.6:9100");
    EXPECT_TRUE(check.rows[1].ownPlatform);
    EXPECT_EQ(check.rows[1].name + "/" + check.rows[1].id, "cam2/PU-2");
    EXPECT_TRUE(check.rows[8].badDeviceIp && !check.rows[8].badPlatformIp);
    EXPECT_TRUE(!check.rows[9].badDeviceIp && check.rows[9].badPlatformIp);
    EXPECT_EQ(check.rows[10].platformIp, "10.0.0.5");
    EXPECT_EQ(check.Count(V::Write), 4u);
    EXPECT_EQ(check.Count(V::Incomplete), 2u);
    EXPECT_EQ(CheckExitCode(check), 1);

    // Without the dialog's address the rows still get written, to an address not known here.
    const ListCheck unknown = Check("cam1,,10.0.0.1,,,,,,PU-1\r\n", std::nullopt);
    EXPECT_EQ(Verdicts(unknown), (std::vector<V>{V::Write}));
    EXPECT_FALSE(unknown.rows[0].platformKnown);
    EXPECT_EQ(CheckExitCode(unknown), 0);
    // A list without rows writes nothing.
    EXPECT_EQ(CheckExitCode(Check("")), 1);
}

TEST(ListCheck, DuplicatesAmongTheRowsWritten)
{
    const ListCheck check = Check("a,,10.0.0.1,,,,,,PU-1\r\n"
                                  "b,,10.0.0.2,,,,,,#PU-1\r\n"      // the same ID once "#" is dropped
                                  "c,,010.0.0.1,,,,,,PU-3\r\n"      // the same device as row 1
                                  "d,,10.0.0.1,,,,,,PU-1,,,,1\r\n"  // GB: never written, no clash
                                  "e,,10.0.0.9,,,,,,pu-1\r\n"       // IDs differ in case
                                  "f,,10.0.0.1,,,,,,PU-6\r\n");
    ASSERT_EQ(check.duplicateIds.size(), 1u);
    EXPECT_EQ(check.duplicateIds[0].key, "PU-1");
    EXPECT_EQ(check.duplicateIds[0].rows, (std::vector<std::size_t>{1, 2}));
    ASSERT_EQ(check.duplicateIps.size(), 1u);
    EXPECT_EQ(check.duplicateIps[0].key, "10.0.0.1");
    EXPECT_EQ(check.duplicateIps[0].rows, (std::vector<std::size_t>{1, 3, 6}));
    EXPECT_EQ(check.Count(RowVerdict::Write), 5u);
    EXPECT_EQ(CheckExitCode(check), 1) << "rows that clash are a problem even when all are written";

    const std::vector<std::string> lines = FormatDuplicateLines(check, kLanguageEnglish, Same);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "duplicate device ID PU-1: rows 1, 2 (the platform cannot hold two devices under one ID)");
    EXPECT_NE(lines[1].find("rows 1, 3, 6 "), std::string::npos) << lines[1];
    EXPECT_NE(lines[1].find("only the name and ID of row 6 stay"), std::string::npos) << lines[1];
    EXPECT_EQ(FormatDuplicateLines(check, kLanguageChinese, Same)[0].rfind("重复的设备编号 PU-1：第1、2行", 0), 0u);
}

TEST(CheckReport, LinesInBothLanguagesAndTheShortForm)
{
    const ListCheck check = Check("cam1,,10.0.0.1,,,,,,PU-1,,,,0,10.0.0.6,9100\r\n"
                                  "cam2,,10.0.0.2\r\n"
                                  "cam3,,1.2.3,,,,,,PU-3,,,,0,10.0.0.266,9100\r\n");
    // Fields are converted from the file's encoding.
    const FieldToUtf8 marked = [](const std::string& text) { return "<" + text + ">"; };
    const std::vector<std::string> english = FormatCheckLines(check, kLanguageEnglish, marked);
    ASSERT_EQ(english.size(), 4u);
    EXPECT_EQ(english[0], "row 1  <cam1>  <PU-1>  <10.0.0.1>: will be written, platform <10.0.0.6>:9100 (its own)");
    EXPECT_EQ(english[1].rfind("row 2: incomplete", 0), 0u);
    EXPECT_NE(english[2].find("device IP \"<1.2.3>\" and platform IP \"<10.0.0.266>\""), std::string::npos);
    EXPECT_NE(english[2].find("code 72"), std::string::npos);
    EXPECT_EQ(english[3].rfind("summary: 3 rows: 1 will be written, 1 incomplete, 0 GB", 0), 0u) << english[3];
    const std::vector<std::string> chinese = FormatCheckLines(check, kLanguageChinese, Same);
    EXPECT_EQ(chinese[0], "第1行  cam1  PU-1  10.0.0.1：将写入，平台 10.0.0.6:9100（本行自带）");
    EXPECT_EQ(chinese[3].rfind("汇总：共3行，将写入1行，信息不全1行", 0), 0u);

    // The message box: the summary first, then only the problems, cut after maxLines.
    const std::string box = FormatProblems(check, kLanguageEnglish, Same, 1);
    EXPECT_EQ(box.rfind("summary: ", 0), 0u);
    EXPECT_NE(box.find("row 2: incomplete"), std::string::npos);
    EXPECT_EQ(box.find("row 1 "), std::string::npos);
    EXPECT_EQ(box.find("row 3 "), std::string::npos);
    EXPECT_NE(box.find("... and 1 more lines"), std::string::npos);
    // An empty list says what the run would say.
    EXPECT_EQ(FormatSummary(Check(""), kLanguageEnglish).rfind("No data is found. Please try again.\n", 0), 0u);
}

TEST(CheckOptions, ParsesAndRefusesInTheAskedLanguage)
{
    std::string error;
    auto options = ParseCheckOptions({"--lang", "2", "--check", "d.csv", "--ip", "10.0.0.5", "--port", "9000"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->file, "d.csv");
    EXPECT_EQ(options->language, 2);
    ASSERT_TRUE(options->platform);
    EXPECT_EQ(options->platform->ip + ":" + options->platform->port, "10.0.0.5:9000");
    options = ParseCheckOptions({"--check", "d.csv"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->language, 1);
    EXPECT_FALSE(options->platform);
    EXPECT_TRUE(IsCheckCommand({"--lang", "2", "--check", "x"}));
    EXPECT_FALSE(IsCheckCommand({"--file", "--checks"}));

    struct Case {
        std::vector<std::string> args;
        std::string error;
    };
    const Case cases[] = {
        {{"--lang", "2", "--check"}, "this option needs a value: --check"},
        {{"--lang", "2", "--check", "d.csv", "--ip"}, "this option needs a value: --ip"},
        {{"--lang", "2", "--check", "d.csv", "--ip", "10.0.0.5"}, "--ip and --port go together"},
        {{"--lang", "2", "--check", "d.csv", "--write"}, "this option does not go with --check (only --lang, --ip and --port do): --write"},
        {{"--lang", "2", "--check", "a", "--check", "b"}, "this option does not go with --check (only --lang, --ip and --port do): --check"},
        {{"--lang", "2", "--check", "d.csv", "--ip", "10.0.0.256", "--port", "9000"}, "--ip/--port: Invalid IP Address!"},
        {{"--lang", "2", "--check", "d.csv", "--ip", "10.0.0.5", "--port", "0"},
         "--ip/--port: Please enter a port number from the range of 0 to 65535."},
        {{"--check", "d.csv", "--ip", "", "--port", "9000"}, "--ip/--port：平台IP地址不能为空！"},
        {{"--check", "d.csv", "--lang", "3"}, "--lang 只能是 1（中文）或 2（英文）"},
    };
    for (const Case& c : cases) {
        error.clear();
        EXPECT_FALSE(ParseCheckOptions(c.args, error)) << c.error;
        EXPECT_EQ(error, c.error);
    }
}

} // namespace
} // namespace trevanil_host
