// The check before writing against any device list (and its lines read as command-line
// arguments): every row gets one verdict that agrees with the row rules, the duplicate
// groups name rows that would be written, the counts add up, and the report has a line
// for each row and each duplicate plus the summary.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "check_options.h"
#include "check_report.h"
#include "fuzz_check.h"
#include "ipv4_text.h"
#include "list_check.h"

namespace {

std::string Same(const std::string& text) { return text; }

void CheckGroups(const trevanil_host::ListCheck& check, const std::vector<trevanil_host::DuplicateGroup>& groups)
{
    std::set<std::string> keys;
    for (const trevanil_host::DuplicateGroup& group : groups) {
        FUZZ_CHECK(group.rows.size() >= 2);
        FUZZ_CHECK(keys.insert(group.key).second);
        for (std::size_t i = 0; i < group.rows.size(); ++i) {
            FUZZ_CHECK(group.rows[i] >= 1 && group.rows[i] <= check.rows.size());
            FUZZ_CHECK(i == 0 || group.rows[i] > group.rows[i - 1]);
            FUZZ_CHECK(check.rows[group.rows[i] - 1].verdict == trevanil_host::RowVerdict::Write);
        }
    }
}

void CheckList(const DeviceList& list, const std::optional<trevanil_host::DialogPlatform>& platform)
{
    using trevanil_host::RowVerdict;
    const trevanil_host::ListCheck check = trevanil_host::CheckDeviceList(list, platform);
    FUZZ_CHECK(check.rows.size() == list.rows.size());
    std::size_t counted = 0;
    for (std::size_t v = 0; v < trevanil_host::kRowVerdictCount; ++v) counted += check.counts[v];
    FUZZ_CHECK(counted == check.rows.size());
    for (std::size_t i = 0; i < check.rows.size(); ++i) {
        const trevanil_host::RowCheck& row = check.rows[i];
        FUZZ_CHECK(row.number == i + 1);
        if (row.verdict == RowVerdict::Write) {
            FUZZ_CHECK(ParseIpv4NetworkOrder(row.deviceIp.c_str()));
            FUZZ_CHECK(!row.platformKnown || ParseIpv4NetworkOrder(row.platformIp.c_str()));
            FUZZ_CHECK(!row.platformKnown || (row.platformPort >= 1 && row.platformPort <= 65535));
            FUZZ_CHECK(!row.name.empty() && !row.id.empty());
        }
        if (row.verdict == RowVerdict::IpTextRefused) FUZZ_CHECK(row.badDeviceIp || row.badPlatformIp);
    }
    CheckGroups(check, check.duplicateIds);
    CheckGroups(check, check.duplicateIps);
    FUZZ_CHECK((trevanil_host::CheckExitCode(check) == 0) ==
               (!check.rows.empty() && check.Count(RowVerdict::Write) == check.rows.size() &&
                check.duplicateIds.empty() && check.duplicateIps.empty()));
    for (int language : {1, 2}) {
        const std::vector<std::string> lines = trevanil_host::FormatCheckLines(check, language, Same);
        FUZZ_CHECK(lines.size() == check.rows.size() + check.duplicateIds.size() + check.duplicateIps.size() + 1);
        trevanil_host::FormatProblems(check, language, Same, 5);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // The lines as arguments: either options that passed every check, or a message.
    std::vector<std::string> args;
    for (std::size_t start = 0; start <= bytes.size() && args.size() < 10;) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
        args.emplace_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    std::string error;
    const std::optional<trevanil_host::CheckOptions> options = trevanil_host::ParseCheckOptions(args, error);
    FUZZ_CHECK(options.has_value() == error.empty());
    if (options) FUZZ_CHECK(options->language == 1 || options->language == 2);

    const DeviceList list = ParseDeviceList(bytes);
    CheckList(list, trevanil_host::DialogPlatform{"10.0.0.5", "9000"});
    CheckList(list, options ? options->platform : std::nullopt);
    return 0;
}
