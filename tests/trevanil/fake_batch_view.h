// A dialog stand-in for the batch run: keeps the list, the inputs' state, the timer,
// the message boxes and the close flags as a window would, for tests to look at.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "batch_view.h"

struct FakeListItem
{
    std::array<std::string, 4> columns;
    std::array<TextEncoding, 4> encodings{};
};

struct FakeMessage
{
    std::string text;
    std::string caption;
};

class CFakeBatchView final : public IBatchView
{
public:
    BatchFields ReadFields() override;
    void WriteFields(const BatchFields& fields) override;
    void EnableInputs(bool enable) override;
    void DeleteAllItems() override;
    void InsertItem(std::size_t index, const std::string& text) override;
    void SetItemText(std::size_t item, int column, const std::string& text, TextEncoding encoding) override;
    void ScrollToEnd() override;
    void ShowMessage(const char* text, const char* caption) override;
    void StartTimer(unsigned id, unsigned periodMs) override;
    void StopTimer(unsigned id) override;
    void PostCloseFlag(int flag) override;

    // The texts in the edits.
    BatchFields edits{"192.168.1.10", "5510", "devices.csv"};

    std::vector<FakeListItem> items;
    bool inputsEnabled = true;
    int enableCalls = 0;
    bool timerRunning = false;
    unsigned timerPeriodMs = 0;
    bool scrolledToEnd = false;  // since the last change of the list
    std::vector<FakeMessage> messages;
    std::vector<int> closeFlags;

    // Column texts of every item, for comparing whole lists at once.
    std::vector<std::array<std::string, 4>> Columns() const;
};
