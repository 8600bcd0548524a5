#include "batch_run.h"

#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "device_row.h"
#include "input_checks.h"
#include "number_text.h"
#include "pattern_matcher.h"

namespace {

// Marks a tick under way for as long as it runs, whatever way it leaves.
class CTickScope
{
public:
    explicit CTickScope(bool& inTick) : m_inTick(inTick) { m_inTick = true; }
    ~CTickScope() { m_inTick = false; }
    CTickScope(const CTickScope&) = delete;
    CTickScope& operator=(const CTickScope&) = delete;

private:
    bool& m_inTick;
};

}  // namespace

CBatchRun::CBatchRun(IBatchView& view, IDeviceAccess& access, DeviceListLoader loader)
    : m_view(view), m_access(access), m_loader(std::move(loader)), m_language(&DefaultLanguageTexts())
{
}

bool CBatchRun::SetLanguage(int language)
{
    const LanguageTexts* texts = FindLanguageTexts(language);
    if (!texts) return false;
    m_language = texts;
    return true;
}

void CBatchRun::OnWrite()
{
    // Write is disabled during a run, yet a WM_COMMAND sent by another program, or one
    // from a message loop inside the device access, still arrives: it must neither
    // restart the run from its first row nor tell the host of a second start.
    if (m_inTick || IsRunning()) return;

    ReadFields();
    const std::unique_ptr<IPatternMatcher> ipPattern = CompilePattern(kPlatformIpPattern);
    if (!ipPattern) {
        // The pattern is a constant; should it ever fail to compile, nothing passes.
        ShowError(&UiTexts::textIpInvalid);
        return;
    }
    if (const UiTextSlot failed = CheckStartInputs({m_fields.platformIp, m_fields.port, m_fields.path}, *ipPattern)) {
        ShowError(failed);
        return;
    }
    // Without the device access every row would fail: say why instead, before the host
    // is told of a run.
    if (!m_access.IsAvailable()) {
        ShowError(&UiTexts::textAccessUnavailable);
        return;
    }

    m_view.PostCloseFlag(1);
    m_view.DeleteAllItems();
    m_cancelPending = false;
    m_nCurRow = 0;
    WriteFields();
    EnableInputs(false);

    DeviceList list;
    try {
        list = m_loader(m_fields.path);
    } catch (const std::exception&) {
        // A file too large for memory is no list to run; the host has heard of the
        // start and must hear of its end.
        list = DeviceList();
    }
    m_rows = std::move(list.rows);
    m_encoding = list.encoding;

    if (m_rows.empty()) {
        ShowError(&UiTexts::textNoData);
        EnableInputs(true);
        m_view.PostCloseFlag(0);
        return;
    }

    ReadFields();
    m_view.InsertItem(0, std::to_string(m_nCurRow + 1));
    SetItemUiText(0, ListColumn::kDeviceName, &UiTexts::textWriting);
    WriteFields();
    m_view.StartTimer(kRunTimerId, kRunTimerPeriodMs);
}

void CBatchRun::OnTimer(unsigned id)
{
    if (id != kRunTimerId || m_inTick) return;
    {
        CTickScope tick(m_inTick);
        RunTick();
    }
    // A Cancel pressed while the row was being written ends the run now.
    if (std::exchange(m_cancelPending, false)) CancelRun();
}

void CBatchRun::OnCancelRun()
{
    if (m_inTick) {
        m_cancelPending = true;
        return;
    }
    m_cancelPending = false;
    CancelRun();
}

void CBatchRun::RunTick()
{
    ReadFields();
    const std::string platformIp = m_fields.platformIp;
    const std::int32_t platformPort = AtoiLike(m_fields.port);
    WriteFields();

    if (m_nCurRow >= m_rows.size()) {
        m_view.StopTimer(kRunTimerId);
        return;
    }
    const DeviceRow row = m_rows[m_nCurRow];
    WriteRow(m_nCurRow, row, platformIp, platformPort);

    ++m_nCurRow;
    m_view.InsertItem(m_nCurRow, std::to_string(m_nCurRow + 1));
    if (m_nCurRow == m_rows.size()) {
        SetItemUiText(m_nCurRow, ListColumn::kDeviceName, &UiTexts::textCompleted);
        m_view.StopTimer(kRunTimerId);
        EnableInputs(true);
        ClearRows();
        m_view.PostCloseFlag(0);
    } else {
        SetItemUiText(m_nCurRow, ListColumn::kDeviceName, &UiTexts::textWriting);
    }
    m_view.ScrollToEnd();
}

void CBatchRun::WriteRow(std::size_t item, const DeviceRow& row, std::string platformIp, std::int32_t platformPort)
{
    const std::optional<DeviceRowValues> device = TakeCompleteDevice(row);
    if (!device) {
        m_view.SetItemText(item, ListColumn::kDeviceName, std::string(), TextEncoding::Utf8);
        SetItemUiText(item, ListColumn::kResult, &UiTexts::textIncomplete);
        return;
    }
    m_view.SetItemText(item, ListColumn::kDeviceName, device->name, m_encoding);
    m_view.SetItemText(item, ListColumn::kDeviceId, device->id, m_encoding);

    if (IsGbDevice(*device)) {
        SetItemUiText(item, ListColumn::kResult, &UiTexts::textGbRefused);
        return;
    }
    if (HasOwnPlatform(*device)) {
        platformIp = device->platformIp;
        platformPort = AtoiLike(device->platformPort);
        // A port that is no port (letters read as 0) would register the device on it
        // and report success: refuse the row, as the dialog refuses such a port.
        if (!IsPlatformPortInRange(platformPort)) {
            SetItemUiText(item, ListColumn::kResult, &UiTexts::textPortRange);
            return;
        }
    }

    m_access.Connect(device->ip, kDevicePort, device->user, device->password, m_encoding);
    const std::int32_t written = m_access.WritePu(device->ip, kDevicePort, platformIp, platformPort, device->id,
                                                  device->name, device->ip, m_encoding);
    SetItemUiText(item, ListColumn::kResult, written != 0 ? &UiTexts::textSucceeded : &UiTexts::textFailed);
}

void CBatchRun::CancelRun()
{
    ReadFields();
    if (!m_rows.empty()) {
        SetItemUiText(m_nCurRow, ListColumn::kDeviceName,
                      m_nCurRow == m_rows.size() ? &UiTexts::textCompleted : &UiTexts::textInterrupted);
    }
    WriteFields();
    m_view.StopTimer(kRunTimerId);
    EnableInputs(true);
    ClearRows();
    m_view.PostCloseFlag(0);
}

void CBatchRun::ReadFields()
{
    m_fields = m_view.ReadFields();
}

void CBatchRun::WriteFields()
{
    m_view.WriteFields(m_fields);
}

void CBatchRun::EnableInputs(bool enable)
{
    ReadFields();
    m_view.EnableInputs(enable);
    WriteFields();
}

void CBatchRun::ClearRows()
{
    std::vector<DeviceRow>().swap(m_rows);
}

void CBatchRun::ShowError(UiTextSlot slot)
{
    m_view.ShowMessage(m_language->ui.*slot, m_language->ui.captionError);
}

void CBatchRun::SetItemUiText(std::size_t item, int column, UiTextSlot slot)
{
    m_view.SetItemText(item, column, m_language->ui.*slot, TextEncoding::Utf8);
}
