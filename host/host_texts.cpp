#include "host_texts.h"

#include "list_columns.h"

namespace trevanil_host {
namespace {

// The source is UTF-8; these literals are stored as written.
const HostTexts kChinese = {
    "批量写入前端",
    "正在写入前端，请先等待写入完成或点击“取消”，再关闭窗口。",
    "正在写入设备：%1", "设备列表(&L)", "%1…(&C)",
    {
        "缺少参数值：",
        "--lang 只能是 1（中文）或 2（英文）",
        "不能与 --check 一起使用的选项（只能加 --lang、--ip、--port）：",
        "--ip 和 --port 需要同时给出",
        "--ip/--port：",
    },
    {
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
    },
    {"第 %1 / %2 行", "成功 %1", "失败 %1", "已完成", "已中断", "不到 1 分钟", "约剩 %1", "%1 小时", "%1 分钟"},
    {
        "上次对 %1 的批量写入没有结束：共 %3 行，已有结果 %2 行（成功 %4，失败 %5），最后记录于 %6。\n"
        "未完成的行（未写入，或已写入但未重启）在 %7。",
        "\n是否将该列表载入对话框？",
        "\n该列表已载入对话框。",
        "\n未写入任何设备：用 --resume 启动 trevanil_host 即可继续该次写入。",
        "\n用 --resume 启动 trevanil_host 即可载入该列表。",
        "没有未结束的批量写入。",
        "另一个 trevanil_host（进程 %1）正在写入 %2，未写入任何设备。",
        "该设备列表",
        "该列表上次未结束的写入记录已另存为 %1。",
        "运行记录无法写入：%1。设备仍在写入；退出码会说明。",
        " · 记录未能写入",
        "已写入 %2 行，其中已重启 %1 行",
        "设备信息文件所在的文件夹无法写入，结果和未完成的行保存在您自己的文件夹：\n",
        "有文件被其他程序占用，结果和未完成的行以另一个文件名保存：\n",
        "结果和未完成的行保存在：\n",
        "重启", "已重启", "未重启",
    },
};

const HostTexts kEnglish = {
    "Batch device registration",
    "A batch write is running. Wait until it ends or press Cancel before closing the window.",
    "Writing the devices of %1", "&List", "&%1...",
    {
        "this option needs a value: ",
        "--lang takes 1 (Chinese) or 2 (English)",
        "this option does not go with --check (only --lang, --ip and --port do): ",
        "--ip and --port go together",
        "--ip/--port: ",
    },
    {
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
        "duplicate device IP %1: rows %2 (the same device is written more than once; only the name and ID of row %3 "
        "stay)",
        ", ",
        "summary: %1 rows: %2 will be written, %3 incomplete, %4 GB devices, %5 with an invalid own platform port, "
        "%6 with an IP address orvex refuses; %7 duplicate device IDs, %8 duplicate device IPs",
        "... and %1 more lines",
    },
    {"Row %1 of %2", "%1 succeeded", "%1 failed", "finished", "interrupted", "less than 1 min left", "about %1 left",
     "%1 h", "%1 min"},
    {
        "The last batch write of %1 did not end: %2 of %3 rows had their result (%4 succeeded, %5 failed), last "
        "recorded at %6.\nThe rows not done (not written, or written without a restart) are in %7.",
        "\nLoad that list into the dialog?",
        "\nThat list is loaded into the dialog.",
        "\nNothing was written: start trevanil_host with --resume to carry that run on.",
        "\nStart trevanil_host with --resume to load it.",
        "No batch write was left unfinished.",
        "Another trevanil_host (process %1) is writing %2; nothing was written.",
        "this device list",
        "The record of the last run of this list, which did not end, was kept aside as %1.",
        "The run's record cannot be written: %1. The devices are still written; the exit code says so.",
        " · record not written",
        "restarted %1 of %2 rows written",
        "The device list's folder cannot be written; the results and the rows not done are kept in your own folder:\n",
        "A file was held open by another program; the results and the rows not done are kept under another name:\n",
        "The results and the rows not done are kept in:\n",
        "Restart", "Restarted", "Not restarted",
    },
};

} // namespace

const HostTexts& HostTextsFor(int language) { return language == kLanguageEnglish ? kEnglish : kChinese; }

const HostTexts& HostTextsIn(bool english) { return english ? kEnglish : kChinese; }

std::string FillText(std::string_view pattern, std::initializer_list<std::string> values)
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

} // namespace trevanil_host
