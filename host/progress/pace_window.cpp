#include "pace_window.h"

#include <algorithm>


namespace trevanil_host {

CPaceWindow::CPaceWindow(std::int64_t tickMs, std::size_t windowRows)
    : m_tickMs(tickMs), m_rowMs(std::max<std::size_t>(windowRows, 1), 0)
{
}

void CPaceWindow::Start(std::int64_t nowMs)
{
    m_next = 0;
    m_count = 0;
    m_sumMs = 0;
    m_lastMs = nowMs;
}

void CPaceWindow::RowDone(std::int64_t nowMs)
{
    if (!m_lastMs) {
        m_lastMs = nowMs;
        return;
    }
    // A clock that went back counts as no time rather than as a negative row; the rows
    // after it count from where it is now.
    const std::int64_t rowMs = std::max<std::int64_t>(nowMs - *m_lastMs, 0);
    m_lastMs = nowMs;
    if (m_count == m_rowMs.size()) m_sumMs -= m_rowMs[m_next];
    else ++m_count;
    m_rowMs[m_next] = rowMs;
    m_sumMs += rowMs;
    m_next = (m_next + 1) % m_rowMs.size();
}

std::optional<std::int64_t> CPaceWindow::MsLeft(std::size_t rowsLeft) const
{
    if (rowsLeft == 0 || m_tickMs <= 0) return std::nullopt;
    const double window = static_cast<double>(m_rowMs.size());
    const double measured = static_cast<double>(m_count);
    const double priorRows = static_cast<double>(kPriorRows) * (window - measured) / window;
    const double pace = (priorRows * static_cast<double>(m_tickMs) + static_cast<double>(m_sumMs)) /
                        (priorRows + measured);
    return static_cast<std::int64_t>(pace * static_cast<double>(rowsLeft) + 0.5);
}

} // namespace trevanil_host
