#include "ui_texts.h"

#include <algorithm>

namespace {

// The source is UTF-8; these literals are stored as written.
const LanguageTexts kLanguages[] = {
    {kLanguageChinese,
     {
         "平台IP地址不能为空！",
         "错误提示",
         "平台IP地址格式不正确！",
         "平台端口号不能为空！",
         "平台端口号不合法，范围在0~65535！",
         "还没有选择文件，请选择后重试。",
         "选择的文件为空文件，请重新选择文件！",
         "正在写入…",
         "设备信息不全无法写入。",
         "国标设备不支持写入前端！",
         "写入前端成功！",
         "写入前端失败！",
         "写入完成。",
         "写入被中断。",
         "数据文件 (*.csv)|*.csv||",
         "设备访问控件不可用，请注册orvex.dll。",
     },
     "平台IP：",
     "平台端口：",
     "文件地址：",
     ListColumnTextsIn(kLanguageChinese),
     "浏览",
     "写入前端",
     "取消"},
    {kLanguageEnglish,
     {
         "Please enter an IP address.",
         "Error",
         "Invalid IP Address!",
         "Please enter a port number of the VMS.",
         "Please enter a port number from the range of 0 to 65535.",
         "No file is selected. Please try again.",
         "No data is found. Please try again.",
         "Writing...",
         "The dvice information file is not duly filled up.",
         "You cannot write data into GB-compliant devices.",
         "Succeeded.",
         "Failed.",
         "Completed.",
         "Interrupted.",
         "File (*.csv)|*.csv||",
         "The device access control is not available. Please register orvex.dll.",
     },
     "VMS IP Address:",
     "Port Number:",
     "Device Information:",
     ListColumnTextsIn(kLanguageEnglish),
     "Browse",
     "Write",
     "Cancel"},
};

}  // namespace

const LanguageTexts* FindLanguageTexts(int language)
{
    for (const LanguageTexts& texts : kLanguages) {
        if (texts.language == language) return &texts;
    }
    return nullptr;
}

const LanguageTexts& LanguageTextsFor(int language)
{
    return *FindLanguageTexts(language == kLanguageEnglish ? kLanguageEnglish : kLanguageChinese);
}

const LanguageTexts& DefaultLanguageTexts()
{
    return kLanguages[0];
}

std::wstring FileDialogFilter(std::wstring pairs)
{
    std::replace(pairs.begin(), pairs.end(), L'|', L'\0');
    return pairs;
}
