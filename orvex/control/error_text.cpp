#include "error_text.h"

namespace {

struct ErrorTextEntry {
    std::int32_t code;
    const char16_t* text;
};

// In the order the table is entered. Punctuation is part of the texts: -1 has ASCII
// commas, -8 a full-width comma, 65 and 66 full-width parentheses, 69 ", ".
constexpr ErrorTextEntry kErrorTexts[] = {
    {0, u"成功返回"},
    {-1, u"内部动态创建对象错误,没有初始化对象,或者普通空指针返回"},
    {-2, u"大小不正确"},
    {-3, u"类型不正确"},
    {-4, u"范围不正确"},
    {-5, u"无效的handle"},
    {-6, u"设备能力不支持"},
    {-7, u"超时错误"},
    {-8, u"状态错误，前置条件不满足"},
    {-9, u"空间不足"},
    {-10, u"错误的路径"},
    {-11, u"资源不足"},
    {-12, u"消息队列错误"},
    {-13, u"dll链接错误"},
    {-14, u"没有打开本地文件"},
    {-15, u"没有播放本地文件"},
    {-16, u"前端返回错误"},
    {-17, u"没有camera.dll库"},
    {-18, u"摄像头类型不正确"},
    {-19, u"获取摄像头操作码失败"},
    {-20, u"文件操作失败"},
    {-21, u"handle句柄和palyer句柄不对应"},
    {-22, u"player无效"},
    {-23, u"player正在录像"},
    {-24, u"player正在播放视频"},
    {-25, u"搜索错误"},
    {-26, u"创建位图失败"},
    {-27, u"连接已经存在"},
    {-28, u"连接设备失败"},
    {-29, u"请求前端接收音频失败"},
    {-30, u"Vomp组建错误"},
    {-31, u"协议栈组建错误"},
    {-32, u"转发错误"},
    {-40, u"编码器错误"},
    {-41, u"解码器错误"},
    {-50, u"录像库错误"},
    {-51, u"录像下载库错误"},
    {-60, u"抓拍库错误"},
    {-61, u"当前正在下载图片"},
    {-62, u"当前正在上传图片"},
    {-100, u"错误起始"},
    {-89, u"登陆其他错误"},
    {-88, u"登陆超时"},
    {-87, u"用户名或密码不正确"},
    {-86, u"管理员已经登录"},
    {-85, u"USER用户登录已到最大值"},
    {-84, u"用户登录总数已到最大值"},
    {-83, u"没有连接"},
    {46, u"失败"},
    {47, u"没有找到SDKDLL"},
    {48, u"没有找到SDKDLL对应接口"},
    {49, u"释放失败"},
    {50, u"获取鉴权信息失败"},
    {51, u"http发送失败"},
    {52, u"解析返回数据失败"},
    {53, u"设备正在升级"},
    {54, u"没有注册"},
    {55, u"功能模块没有定义"},
    {56, u"用户信息未验证"},
    {57, u"鉴权ID错误"},
    {58, u"没有权限执行操作"},
    {59, u"IP被拒绝"},
    {60, u"旧密码错误"},
    {61, u"用户已存在"},
    {62, u"此CGI请求不支持"},
    {63, u"请求没有携带消息体"},
    {64, u"CGI请求携带的XML格式错误"},
    {65, u"CGI请求携带XML错误（请求的URL与XML内的根节点不匹配）"},
    {66, u"CGI请求携带的XML中缺少必要的参数（XML元素）"},
    {67, u"XML中携带的参数过长"},
    {68, u"升级信息检查错误"},
    {69, u"升级文件检查错误, 重发当前的包"},
    {70, u"设备升级失败"},
    {71, u"XML参数错误"},
    {72, u"IP地址格式错误"},
    {73, u"IP掩码错误"},
    {74, u"IP网关错误"},
    {75, u"DNS地址错误"},
    {76, u"组播地址错误"},
    {77, u"MTU参数错误"},
    {78, u"操作时序错误"},
    {79, u"请求的URL格式错误"},
    {80, u"无效的信令"},
    {81, u"设备正忙"},
    {82, u"设备恢复"},
    {83, u"用户被禁止登录"},
    {84, u"用户需要激活"},
    {85, u"需要重新查询"},
};

} // namespace

void InitErrorText(ErrorTextMap& m_mapErrorText)
{
    for (const ErrorTextEntry& entry : kErrorTexts) m_mapErrorText[entry.code] = entry.text;
}

const char16_t* GetErrorText(const ErrorTextMap& m_mapErrorText, std::int32_t code)
{
    auto it = m_mapErrorText.find(code);
    return it != m_mapErrorText.end() ? it->second : u"";
}
