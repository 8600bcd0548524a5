#include "host_texts.h"

namespace trevanil_host {
namespace {

const HostTexts kChinese = {
    L"批量写入前端",
    L"正在写入前端，请先等待写入完成或点击“取消”，再关闭窗口。",
};

const HostTexts kEnglish = {
    L"Batch device registration",
    L"A batch write is running. Wait until it ends or press Cancel before closing the window.",
};

} // namespace

const HostTexts& HostTextsFor(int language) { return language == 2 ? kEnglish : kChinese; }

} // namespace trevanil_host
