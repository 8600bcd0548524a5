// The batch write run of the dialog, without a window: Write loads the device list,
// then each tick of timer 1 writes one device and shows its result in the list.
//
//   Idle --OnWrite (inputs pass, access available, rows loaded)--> Running
//   Running --tick that writes the last row / OnCancelRun--> Idle
//
// The list always holds one item more than the rows written: the last one carries
// only its number and the progress text or the run's final state. The host hears
// close flag 1 when a run starts and 0 when it ends, when a start finds no data and
// on every Cancel.
//
// Write refuses to start, with a message and nothing else (no close flag, the list and
// inputs as they were), when an input check fails or the device access is unavailable.
// A file that cannot be loaded is no data: the host hears 1 and then 0.
//
// Ticks never nest: a tick (or Write) arriving while a tick is inside the device
// access returns at once, and a Cancel then takes effect right after the running row.
// Write during a run (between two ticks) is ignored: the run goes on where it is.
//
// All calls on the window thread; may throw std::bad_alloc (callers on a Windows entry
// point catch it).
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "batch_view.h"
#include "device_access.h"
#include "device_list.h"
#include "ui_texts.h"

constexpr unsigned kRunTimerId = 1;
constexpr unsigned kRunTimerPeriodMs = 1800;
constexpr int kDevicePort = 5510;  // port of every device, for Connect and WritePu

using DeviceListLoader = std::function<DeviceList(const std::string& utf8Path)>;

class CBatchRun
{
public:
    CBatchRun(IBatchView& view, IDeviceAccess& access, DeviceListLoader loader = ReadDeviceListFile);
    CBatchRun(const CBatchRun&) = delete;
    CBatchRun& operator=(const CBatchRun&) = delete;

    // Language 1 (Chinese, the default) or 2 (English): the texts of the next message
    // and list entry. Any other value changes nothing and returns false.
    bool SetLanguage(int language);
    int Language() const { return m_language->language; }
    const LanguageTexts& Texts() const { return *m_language; }

    // The Write button: checks the inputs and starts a run.
    void OnWrite();
    // A timer message; only kRunTimerId is the run's.
    void OnTimer(unsigned id);
    // The Cancel button: ends a run (or, outside one, re-enables the inputs).
    void OnCancelRun();

    bool IsRunning() const { return !m_rows.empty(); }

private:
    void ReadFields();
    void WriteFields();
    void EnableInputs(bool enable);
    void ClearRows();
    void ShowError(UiTextSlot slot);
    void SetItemUiText(std::size_t item, int column, UiTextSlot slot);

    void RunTick();
    void WriteRow(std::size_t item, const DeviceRow& row, std::string platformIp, std::int32_t platformPort);
    void CancelRun();

    IBatchView& m_view;
    IDeviceAccess& m_access;
    DeviceListLoader m_loader;
    const LanguageTexts* m_language;

    BatchFields m_fields;
    std::vector<DeviceRow> m_rows;
    TextEncoding m_encoding = TextEncoding::Ansi;
    std::size_t m_nCurRow = 0;  // the row the next tick writes; also the current list item

    bool m_inTick = false;
    bool m_cancelPending = false;
};
