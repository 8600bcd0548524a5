// The host's lines as a script reads them from a file, and as a console shows them.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "activex/wide_text.h"
#include "console_out.h"

namespace trevanil_host {
namespace {

const std::string kChineseLine = u8"第 3 / 20 行 · 成功 3 · 失败 0 · 约剩 1 分钟";

// One standard handle pointed elsewhere for a test, and put back after it.
class CStdHandleSwap {
public:
    CStdHandleSwap(DWORD which, HANDLE replacement) : m_which(which), m_saved(GetStdHandle(which))
    {
        SetStdHandle(which, replacement);
    }
    ~CStdHandleSwap() { SetStdHandle(m_which, m_saved); }
    CStdHandleSwap(const CStdHandleSwap&) = delete;
    CStdHandleSwap& operator=(const CStdHandleSwap&) = delete;

private:
    DWORD m_which;
    HANDLE m_saved;
};

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

UniqueHandle Owned(HANDLE handle) { return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle); }

std::string ReadBytes(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(ConsoleOut, FileGetsTheUtf8Bytes)
{
    wchar_t folder[MAX_PATH] = {};
    ASSERT_NE(0u, GetTempPathW(MAX_PATH, folder));
    const std::wstring path = std::wstring(folder) + L"host_console_out_test.txt";
    {
        const UniqueHandle file =
            Owned(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(file);
        CStdHandleSwap outSwap(STD_OUTPUT_HANDLE, file.get());
        CStdHandleSwap errSwap(STD_ERROR_HANDLE, file.get());
        PrintLine(kChineseLine);
        PrintError("second");
    }
    EXPECT_EQ(kChineseLine + "\nsecond\n", ReadBytes(path));
    DeleteFileW(path.c_str());
}

// A console in the Chinese code page: bytes of UTF-8 would be read as GBK there.
TEST(ConsoleOut, ConsoleShowsTheCharactersInItsOwnCodePage)
{
    // A console of the test's own, whatever the one it was started with (none, or one
    // without a screen under Wine).
    FreeConsole();
    const bool allocated = AllocConsole() != 0;
    const UniqueHandle screen = Owned(CreateConsoleScreenBuffer(
        GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CONSOLE_TEXTMODE_BUFFER, nullptr));
    if (!screen) {
        const DWORD error = GetLastError();
        if (allocated) FreeConsole();
        GTEST_SKIP() << "no console can be made here (error " << error << ")";
    }
    const UINT savedPage = GetConsoleOutputCP();
    SetConsoleOutputCP(936);
    {
        CStdHandleSwap swap(STD_OUTPUT_HANDLE, screen.get());
        PrintLine(kChineseLine);
    }
    SetConsoleOutputCP(savedPage);
    const std::wstring expected = activex::WideFromNarrow(kChineseLine, CP_UTF8);
    std::wstring shown(expected.size(), L'\0');
    DWORD read = 0;
    EXPECT_TRUE(ReadConsoleOutputCharacterW(screen.get(), shown.data(), static_cast<DWORD>(shown.size()), COORD{0, 0},
                                            &read));
    shown.resize(read);
    EXPECT_EQ(expected, shown);
    // The line break moved the cursor to the next line.
    CONSOLE_SCREEN_BUFFER_INFO info = {};
    ASSERT_TRUE(GetConsoleScreenBufferInfo(screen.get(), &info));
    EXPECT_EQ(0, info.dwCursorPosition.X);
    EXPECT_EQ(1, info.dwCursorPosition.Y);
    if (allocated) FreeConsole();
}

} // namespace
} // namespace trevanil_host
