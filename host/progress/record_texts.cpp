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
               state.updated + ".\nThe rows not written are in " + state.retry + "." + RetryListSentence(use, true);
    }
    return u8"上次对 " + state.list + u8" 的批量写入没有结束：共 " + rows + u8" 行，已有结果 " + done + u8" 行（成功 " +
           succeeded + u8"，失败 " + failed + u8"），最后记录于 " + state.updated + u8"。\n未写入的行在 " + state.retry +
           u8"。" + RetryListSentence(use, false);
}

std::string NoUnfinishedRunText(bool english)
{
    return english ? "No batch write was left unfinished." : u8"没有未结束的批量写入。";
}

std::string RecordPlaceText(const std::string& results, const std::string& retry, bool fallback, bool english)
{
    if (english) {
        return std::string(fallback ? "The device list's folder cannot be written; the results and the rows not "
                                      "written are kept in your own folder:\n"
                                    : "The results and the rows not written are kept in:\n") +
               results + "\n" + retry;
    }
    return std::string(fallback ? u8"设备信息文件所在的文件夹无法写入，结果和未写入的行保存在您自己的文件夹：\n"
                                : u8"结果和未写入的行保存在：\n") +
           results + "\n" + retry;
}

} // namespace trevanil_host
