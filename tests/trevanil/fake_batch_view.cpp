#include "fake_batch_view.h"

#include <gtest/gtest.h>

BatchFields CFakeBatchView::ReadFields()
{
    return edits;
}

void CFakeBatchView::WriteFields(const BatchFields& fields)
{
    edits = fields;
}

void CFakeBatchView::EnableInputs(bool enable)
{
    inputsEnabled = enable;
    ++enableCalls;
}

void CFakeBatchView::DeleteAllItems()
{
    items.clear();
    scrolledToEnd = false;
}

void CFakeBatchView::InsertItem(std::size_t index, const std::string& text)
{
    // A list view appends an index past the end; the run never asks for that.
    ASSERT_LE(index, items.size()) << "item inserted beyond the list's end";
    FakeListItem item;
    item.columns[0] = text;
    items.insert(items.begin() + static_cast<std::ptrdiff_t>(index), item);
    scrolledToEnd = false;
}

void CFakeBatchView::SetItemText(std::size_t item, int column, const std::string& text, TextEncoding encoding)
{
    ASSERT_LT(item, items.size()) << "text set on a missing item";
    ASSERT_GE(column, 0);
    ASSERT_LT(column, 4);
    items[item].columns[static_cast<std::size_t>(column)] = text;
    items[item].encodings[static_cast<std::size_t>(column)] = encoding;
}

void CFakeBatchView::ScrollToEnd()
{
    scrolledToEnd = true;
}

void CFakeBatchView::ShowMessage(const char* text, const char* caption)
{
    messages.push_back({text ? text : "(null)", caption ? caption : "(null)"});
}

void CFakeBatchView::StartTimer(unsigned id, unsigned periodMs)
{
    EXPECT_EQ(id, 1u);
    timerRunning = true;
    timerPeriodMs = periodMs;
}

void CFakeBatchView::StopTimer(unsigned id)
{
    EXPECT_EQ(id, 1u);
    timerRunning = false;
}

void CFakeBatchView::PostCloseFlag(int flag)
{
    closeFlags.push_back(flag);
}

std::vector<std::array<std::string, 4>> CFakeBatchView::Columns() const
{
    std::vector<std::array<std::string, 4>> columns;
    for (const FakeListItem& item : items) columns.push_back(item.columns);
    return columns;
}
