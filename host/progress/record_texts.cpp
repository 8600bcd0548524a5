#include "record_texts.h"

namespace trevanil_host {

namespace {

const char* RetryListSentence(RetryListUse use, bool english)
{
    switch (use) {
    case RetryListUse::Ask:
        return english ? "\nLoad that list into the dialog?" : u8"\n是否将该列表载入对话框？";
    case RetryListUse::Loaded:
        return english ? "\nThat list is loaded into the dialog." : u8"\n该列表已载入对话框。";
    case RetryListUse::Refused:
        return english ? "\nNothing was written: start trevanil_host with --resume to carry that run on."
                       : u8"\n未写入任何设备：用 --resume 启动 trevanil_host 即可继续该次写入。";
    case RetryListUse::Hint:
        break;
    }
    return english ? "\nStart trevanil_host with --resume to load it." : u8"\n用 --resume 启动 trevanil_host 即可载入该列表。";
}

} // namespace

std::string UnfinishedRunText(const RunState& state, bool english, RetryListUse use)
{
    const std::string done = std::to_string(state.done);
    const std::string rows = std::to_string(state.rows);
    const std::string succeeded = std::to_string(state.succeeded);
    const std::string failed = std::to_string(state.failed);
    if (english) {
        return "The last batch write of " + state.list + " did not end: " + done + " of " + rows +
               " rows had their result (" + succeeded + " succeeded, " + failed + " failed), last recorded at " +
               state.updated + ".\nThe rows not done (not written, or written without a restart) are in " +
               state.retry + "." + RetryListSentence(use, true);
    }
    return u8"上次对 " + state.list + u8" 的批量写入没有结束：共 " + rows + u8" 行，已有结果 " + done + u8" 行（成功 " +
           succeeded + u8"，失败 " + failed + u8"），最后记录于 " + state.updated + u8"。\n未完成的行（未写入，或已写入但未重启）在 " + state.retry +
           u8"。" + RetryListSentence(use, false);
}

std::string NoUnfinishedRunText(bool english)
{
    return english ? "No batch write was left unfinished." : u8"没有未结束的批量写入。";
}

std::string ListBusyText(const RunState& state, bool english)
{
    const std::string list = state.list.empty() ? std::string(english ? "this device list" : u8"该设备列表") : state.list;
    const std::string process = state.pid ? std::to_string(state.pid) : std::string("?");
    return english ? "Another trevanil_host (process " + process + ") is writing " + list + "; nothing was written."
                   : u8"另一个 trevanil_host（进程 " + process + u8"）正在写入 " + list + u8"，未写入任何设备。";
}

std::string KeptAsideText(const std::string& path, bool english)
{
    return english ? "The record of the last run of this list, which did not end, was kept aside as " + path + "."
                   : u8"该列表上次未结束的写入记录已另存为 " + path + u8"。";
}

std::string RecordFailureText(const std::string& error, bool english)
{
    return english ? "The run's record cannot be written: " + error +
                         ". The devices are still written; the exit code says so."
                   : u8"运行记录无法写入：" + error + u8"。设备仍在写入；退出码会说明。";
}

std::string RecordFailedNote(bool english) { return english ? " · record not written" : u8" · 记录未能写入"; }

std::string RestartSummaryText(std::size_t restarted, std::size_t written, bool english)
{
    return english ? "restarted " + std::to_string(restarted) + " of " + std::to_string(written) + " rows written"
                   : u8"已写入 " + std::to_string(written) + u8" 行，其中已重启 " + std::to_string(restarted) + u8" 行";
}

std::string RecordPlaceText(const std::string& results, const std::string& retry, bool fallback, bool renamed,
                            bool english)
{
    if (english) {
        return std::string(fallback ? "The device list's folder cannot be written; the results and the rows not "
                                      "done are kept in your own folder:\n"
                           : renamed ? "A file was held open by another program; the results and the rows not done "
                                       "are kept under another name:\n"
                                     : "The results and the rows not done are kept in:\n") +
               results + "\n" + retry;
    }
    return std::string(fallback ? u8"设备信息文件所在的文件夹无法写入，结果和未完成的行保存在您自己的文件夹：\n"
                       : renamed ? u8"有文件被其他程序占用，结果和未完成的行以另一个文件名保存：\n"
                                 : u8"结果和未完成的行保存在：\n") +
           results + "\n" + retry;
}

} // namespace trevanil_host
