#include "host_texts.h"

namespace trevanil_host {
namespace {

const HostTexts kChinese = {
    L"批量写入前端",
    L"正在写入前端，请先等待写入完成或点击“取消”，再关闭窗口。",
    L"写入已结束。是否在设备信息文件旁保存结果列表和未写入设备的列表？",
    L"已保存：",
};

const HostTexts kEnglish = {
    L"Batch device registration",
    L"A batch write is running. Wait until it ends or press Cancel before closing the window.",
    L"The batch write has ended. Save the result list and a list of the devices not written next to the "
    L"device information file?",
    L"Saved: ",
};

} // namespace

const HostTexts& HostTextsFor(int language) { return language == 2 ? kEnglish : kChinese; }

} // namespace trevanil_host
