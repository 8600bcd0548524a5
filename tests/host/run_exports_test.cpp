// What the host leaves after a run: the results file and the retry list, and the
// options it relies on.
#include <gtest/gtest.h>

#include "exit_codes.h"

#include "export/run_exports.h"
#include "host_options.h"

namespace trevanil_host {
namespace {

TEST(RetryList, KeepsHeaderAndUnwrittenRowsByteForByte)
{
    // A byte-order mark, mixed line ends, a quoted field and a last line without a break.
    const std::string file = "\xEF\xBB\xBFname,x,ip\r\n"
                             "cam1,,10.0.0.1\r\n"
                             "\"cam,2\",,10.0.0.2\n"
                             "\r\n"
                             "cam4,,10.0.0.4";
    // Row 0 written, row 1 failed, row 2 (empty line) incomplete, row 3 never reached.
    const std::vector<bool> written = {true, false, false};
    EXPECT_EQ("\xEF\xBB\xBFname,x,ip\r\n\"cam,2\",,10.0.0.2\n\r\ncam4,,10.0.0.4", BuildRetryList(file, written));
    EXPECT_EQ(3u, CountRetryRows(file, written));
    // Everything written leaves the header alone; a header-only file stays as it is.
    EXPECT_EQ("\xEF\xBB\xBFname,x,ip\r\n", BuildRetryList(file, {true, true, true, true}));
    EXPECT_EQ("h", BuildRetryList("h", {}));
    EXPECT_EQ(0u, CountRetryRows("h\n", {}));
}

TEST(ResultsFile, Utf8WithMarkAndQuotedFields)
{
    const std::vector<ResultItem> items = {{"1", "lobby, east", "PU-1", "Succeeded.", "Restarted"},
                                           {"2", "say \"hi\"", "PU-2", "Failed.", ""}};
    EXPECT_EQ("\xEF\xBB\xBFNo.,Device Name,Device ID,Operation Result,Restart\r\n"
              "1,\"lobby, east\",PU-1,Succeeded.,Restarted\r\n"
              "2,\"say \"\"hi\"\"\",PU-2,Failed.,\r\n",
              FormatResultsCsv(items, true));
    // The Chinese header is the dialog's column captions.
    EXPECT_EQ(0u, FormatResultsCsv({}, false).find("\xEF\xBB\xBF\xE5\xBA\x8F\xE5\x8F\xB7,"));
}

TEST(HostOptions, ParsesAndRefuses)
{
    std::string error;
    auto options = ParseHostOptions({"--lang", "2", "--ip", "10.0.0.5", "--port", "9000", "--file", "C:\\d.csv",
                                     "--write", "--cancel-after", "2", "--try-close", "--save", "--screenshot",
                                     "o.png", "--clsid", "--resume"},
                                    error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(2, options->language);
    EXPECT_EQ("9000", *options->platformPort);
    EXPECT_TRUE(options->write && options->cancelAfterRows && options->tryClose && options->save && options->byClsid &&
                options->resume);
    EXPECT_EQ(2, options->cancelAfter);
    EXPECT_EQ("o.png", options->screenshot);
    EXPECT_EQ(0, options->timeoutSeconds) << "no time limit unless asked";
    // --help names every exit code with its meaning.
    const std::string usage = HostUsage();
    for (const HostExitMeaning& exit : kHostExits)
        EXPECT_NE(std::string::npos, usage.find(std::to_string(static_cast<int>(exit.code)) + "  " + exit.meaning))
            << exit.meaning;
    EXPECT_EQ(4, FirstExit(std::vector<HostExit>{HostExit::RowsNotWritten, HostExit::RestartsNotSeen, HostExit::Done}));
    EXPECT_EQ(0, FirstExit(std::vector<HostExit>{HostExit::Done}));

    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"--lang", "3"}, {"--lang"}, {"--bogus"}, {"--save"}, {"--timeout", "0"},
          {"--write", "--cancel-after", "x"}}) {
        error.clear();
        EXPECT_FALSE(ParseHostOptions(bad, error)) << bad[0];
        EXPECT_FALSE(error.empty());
    }
}

} // namespace
} // namespace trevanil_host
