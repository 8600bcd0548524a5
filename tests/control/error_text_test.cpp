#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include "error_text.h"

namespace {

ErrorTextMap FilledMap()
{
    ErrorTextMap map;
    InitErrorText(map);
    return map;
}

std::u16string Text(const ErrorTextMap& map, int code) { return GetErrorText(map, code); }

TEST(ErrorText, HoldsExactlyTheDocumentedKeys)
{
    const ErrorTextMap map = FilledMap();
    std::set<int> expected = {0, -40, -41, -50, -51, -60, -61, -62, -100};
    for (int k = -1; k >= -32; --k) expected.insert(k);
    for (int k = -89; k <= -83; ++k) expected.insert(k);
    for (int k = 46; k <= 85; ++k) expected.insert(k);
    ASSERT_EQ(88u, expected.size());
    std::set<int> actual;
    for (const auto& entry : map) actual.insert(entry.first);
    EXPECT_EQ(expected, actual);
    for (const auto& entry : map) EXPECT_FALSE(std::u16string(entry.second).empty()) << entry.first;
}

TEST(ErrorText, ChosenKeysHoldTheirDocumentedTexts)
{
    // Written from the described table by hand: the first and last key of every block,
    // the keys out of numeric order, and the keys no code takes.
    struct Entry {
        int key;
        const char16_t* text;
    };
    const Entry entries[] = {
        {-1, u"内部动态创建对象错误,没有初始化对象,或者普通空指针返回"},
        {-3, u"类型不正确"},
        {-4, u"范围不正确"},
        {-5, u"无效的handle"},
        {-17, u"没有camera.dll库"},
        {-21, u"handle句柄和palyer句柄不对应"},
        {-32, u"转发错误"},
        {-40, u"编码器错误"},
        {-41, u"解码器错误"},
        {-50, u"录像库错误"},
        {-51, u"录像下载库错误"},
        {-60, u"抓拍库错误"},
        {-62, u"当前正在上传图片"},
        {-89, u"登陆其他错误"},
        {-85, u"USER用户登录已到最大值"},
        {46, u"失败"},
        {47, u"没有找到SDKDLL"},
        {48, u"没有找到SDKDLL对应接口"},
        {55, u"功能模块没有定义"},
        {56, u"用户信息未验证"},
        {58, u"没有权限执行操作"},
        {59, u"IP被拒绝"},
        {63, u"请求没有携带消息体"},
        {64, u"CGI请求携带的XML格式错误"},
        {72, u"IP地址格式错误"},
        {84, u"用户需要激活"},
    };
    const ErrorTextMap map = FilledMap();
    for (const Entry& entry : entries) EXPECT_EQ(std::u16string(entry.text), Text(map, entry.key)) << entry.key;
}

TEST(ErrorText, KeepsPunctuationOfTheTexts)
{
    const ErrorTextMap map = FilledMap();
    EXPECT_EQ(u"成功返回", Text(map, 0));
    EXPECT_EQ(u"错误起始", Text(map, -100));
    EXPECT_EQ(u"大小不正确", Text(map, -2));
    // -8: full-width comma U+FF0C.
    const std::u16string s8 = Text(map, -8);
    EXPECT_EQ(u"状态错误\uFF0C前置条件不满足", s8);
    // 65 and 66: full-width parentheses.
    EXPECT_EQ(u"CGI请求携带XML错误\uFF08请求的URL与XML内的根节点不匹配\uFF09", Text(map, 65));
    EXPECT_EQ(u"CGI请求携带的XML中缺少必要的参数\uFF08XML元素\uFF09", Text(map, 66));
    // 69: ASCII comma and blank; -1: two ASCII commas.
    EXPECT_EQ(u"升级文件检查错误, 重发当前的包", Text(map, 69));
    const std::u16string s1 = Text(map, -1);
    EXPECT_EQ(2, std::count(s1.begin(), s1.end(), u','));
    EXPECT_EQ(u"需要重新查询", Text(map, 85));
    EXPECT_EQ(u"没有连接", Text(map, -83));
}

TEST(ErrorText, CodesWithoutEntryGiveEmptyTextEveryTime)
{
    const ErrorTextMap map = FilledMap();
    for (int code : {1, 2, 44, 45, 86, -33, -39, -82, -90, -101, 1000}) {
        EXPECT_EQ(u"", Text(map, code)) << code;
        EXPECT_EQ(u"", Text(map, code)) << code;
    }
    EXPECT_EQ(88u, map.size());  // lookups add nothing
}

TEST(ErrorText, EnteringAgainReplacesWithoutDuplicates)
{
    ErrorTextMap map;
    map[0] = u"old";
    InitErrorText(map);
    InitErrorText(map);
    EXPECT_EQ(88u, map.size());
    EXPECT_EQ(u"成功返回", Text(map, 0));
}

} // namespace
