// The batch run over any device list. The first byte steers the run (language, which
// devices fail, after how many ticks Cancel is pressed, whether it is pressed inside a
// write); the rest is the file. Whatever the rows hold, the list stays one item longer
// than the rows written, items are numbered in order, every write is preceded by the
// login of the same device on port 5510 with a platform port in range, and the host
// hears 1 first and nothing but 0 after it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "batch_run.h"
#include "fuzz_check.h"

namespace {

class CCheckingView final : public IBatchView
{
public:
    BatchFields ReadFields() override { return m_edits; }
    void WriteFields(const BatchFields& fields) override { m_edits = fields; }
    void EnableInputs(bool enable) override { inputsEnabled = enable; }
    void DeleteAllItems() override { items.clear(); }
    void InsertItem(std::size_t index, const std::string& text) override
    {
        FUZZ_CHECK(index <= items.size());
        items.insert(items.begin() + static_cast<std::ptrdiff_t>(index), std::vector<std::string>(4));
        items[index][0] = text;
    }
    void SetItemText(std::size_t item, int column, const std::string& text, TextEncoding) override
    {
        FUZZ_CHECK(item < items.size() && column >= 0 && column < 4);
        items[item][static_cast<std::size_t>(column)] = text;
    }
    void ScrollToEnd() override {}
    void ShowMessage(const char* text, const char* caption) override
    {
        FUZZ_CHECK(text && caption);
        messages.emplace_back(text);
    }
    void StartTimer(unsigned id, unsigned) override
    {
        FUZZ_CHECK(id == kRunTimerId);
        timerRunning = true;
    }
    void StopTimer(unsigned) override { timerRunning = false; }
    void PostCloseFlag(int flag) override { closeFlags.push_back(flag); }

    std::vector<std::vector<std::string>> items;
    std::vector<std::string> messages;
    std::vector<int> closeFlags;
    bool inputsEnabled = true;
    bool timerRunning = false;

private:
    BatchFields m_edits{"10.1.1.1", "5510", "list.csv"};
};

class CCheckingAccess final : public IDeviceAccess
{
public:
    bool IsAvailable() const override { return true; }
    std::int32_t Connect(const std::string& ip, std::int32_t port, const std::string&, const std::string&,
                         TextEncoding) override
    {
        FUZZ_CHECK(m_loggedIn.empty());
        FUZZ_CHECK(port == kDevicePort && !ip.empty());
        m_loggedIn = ip;
        return 0;
    }
    std::int32_t WritePu(const std::string& puIp, std::int32_t puPort, const std::string& platIp,
                         std::int32_t platPort, const std::string& puId, const std::string& newDevName,
                         const std::string& puNewIp, TextEncoding) override
    {
        FUZZ_CHECK(puIp == m_loggedIn && puNewIp == puIp && puPort == kDevicePort);
        FUZZ_CHECK(platPort >= 1 && platPort <= 65535 && !platIp.empty());
        FUZZ_CHECK(!puId.empty() && !newDevName.empty());
        m_loggedIn.clear();
        ++writes;
        if (whileWriting) whileWriting();
        return static_cast<std::int32_t>(puId.size() % 2);
    }

    int writes = 0;
    void (*whileWriting)() = nullptr;

private:
    std::string m_loggedIn;
};

// For the Cancel pressed inside a write.
CBatchRun* g_run = nullptr;
bool g_cancelPressed = false;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const std::uint8_t steer = data[0];
    const DeviceList list = ParseDeviceList(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));

    CCheckingView view;
    CCheckingAccess access;
    CBatchRun run(view, access, [&list](const std::string&) { return list; });
    g_run = &run;
    run.SetLanguage((steer & 1) ? kLanguageEnglish : kLanguageChinese);
    const std::size_t cancelAfter = (steer >> 1) & 0x0F;  // 0: never
    const bool cancelInsideWrite = (steer & 0x20) != 0;

    run.OnWrite();
    const UiTexts& texts = run.Texts().ui;
    if (list.rows.empty()) {
        FUZZ_CHECK(view.messages.size() == 1 && view.messages[0] == texts.textNoData);
        FUZZ_CHECK(view.items.empty() && !view.timerRunning && view.inputsEnabled);
        FUZZ_CHECK((view.closeFlags == std::vector<int>{1, 0}));
        return 0;
    }

    std::size_t ticks = 0;
    g_cancelPressed = false;
    while (view.timerRunning) {
        FUZZ_CHECK(ticks <= list.rows.size());
        if (cancelAfter != 0 && ticks == cancelAfter) {
            if (cancelInsideWrite) {
                access.whileWriting = [] {
                    g_cancelPressed = true;
                    g_run->OnCancelRun();
                };
            } else {
                g_cancelPressed = true;
                run.OnCancelRun();
                break;
            }
        }
        run.OnTimer(kRunTimerId);
        ++ticks;
    }
    g_run = nullptr;

    // Cancelled inside the last write, the run completes first.
    const std::size_t written = view.items.size() - 1;
    const std::string& last = view.items.back()[1];
    if (g_cancelPressed) {
        FUZZ_CHECK(written <= list.rows.size());
        FUZZ_CHECK(last == texts.textInterrupted || (last == texts.textCompleted && written == list.rows.size()));
    } else {
        FUZZ_CHECK(written == list.rows.size() && last == texts.textCompleted);
        FUZZ_CHECK((view.closeFlags == std::vector<int>{1, 0}));
    }
    for (std::size_t i = 0; i < view.items.size(); ++i) FUZZ_CHECK(view.items[i][0] == std::to_string(i + 1));
    FUZZ_CHECK(access.writes <= static_cast<int>(written));
    FUZZ_CHECK(!run.IsRunning() && !view.timerRunning && view.inputsEnabled);
    FUZZ_CHECK(view.closeFlags.size() >= 2 && view.closeFlags[0] == 1);
    for (std::size_t i = 1; i < view.closeFlags.size(); ++i) FUZZ_CHECK(view.closeFlags[i] == 0);
    return 0;
}
