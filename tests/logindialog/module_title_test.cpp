// The message-box caption: the module's file name without directory and extension.
#include <gtest/gtest.h>

#include "module_title.h"

TEST(ModuleTitleFromPath, DropsDirectoryAndExtension)
{
    EXPECT_EQ(ModuleTitleFromPath(u"C:\\Windows\\system32\\orvex.dll"), u"orvex");
    EXPECT_EQ(ModuleTitleFromPath(u"C:/x/y/orvex.dll"), u"orvex");
    EXPECT_EQ(ModuleTitleFromPath(u"C:orvex.dll"), u"orvex");
    EXPECT_EQ(ModuleTitleFromPath(u"orvex.dll"), u"orvex");
    EXPECT_EQ(ModuleTitleFromPath(u"\\\\?\\C:\\long path\\控件.ocx"), u"控件");
}

TEST(ModuleTitleFromPath, KeepsOnlyTheLastExtensionOff)
{
    EXPECT_EQ(ModuleTitleFromPath(u"C:\\a.b\\orvex.1.dll"), u"orvex.1");
    EXPECT_EQ(ModuleTitleFromPath(u"C:\\a.b\\orvex"), u"orvex");
    EXPECT_EQ(ModuleTitleFromPath(u"C:\\dir\\.hidden"), u".hidden");
    EXPECT_EQ(ModuleTitleFromPath(u""), u"");
    EXPECT_EQ(ModuleTitleFromPath(u"C:\\dir\\"), u"");
}
