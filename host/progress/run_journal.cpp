#include "run_journal.h"

#include "progress/decimal_text.h"

#include <array>
#include <cstdio>

namespace trevanil_host {
namespace {

constexpr std::string_view kFirstLine = "trevanil-journal 1";
constexpr std::size_t kCheckLength = 10;  // " *" and eight hex digits

struct EventTag {
    JournalEventKind kind;
    std::string_view tag;
    bool hasTexts;
};
constexpr std::array<EventTag, 8> kTags{{
    {JournalEventKind::RunStarted, "start", false},
    {JournalEventKind::RunResumed, "resume", false},
    {JournalEventKind::RowWritten, "written", true},
    {JournalEventKind::RowNotWritten, "not-written", true},
    {JournalEventKind::RowRestarted, "restarted", false},
    {JournalEventKind::RestartGivenUp, "restart-given-up", false},
    {JournalEventKind::RunEnded, "ended", false},
    {JournalEventKind::RunInterrupted, "interrupted", false},
}};

const EventTag* FindTag(JournalEventKind kind)
{
    for (const EventTag& entry : kTags)
        if (entry.kind == kind) return &entry;
    return nullptr;
}

const EventTag* FindTag(std::string_view tag)
{
    for (const EventTag& entry : kTags)
        if (entry.tag == tag) return &entry;
    return nullptr;
}

std::uint32_t Crc32(std::string_view bytes)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : bytes) {
        crc ^= c;
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::string WithCheck(std::string payload)
{
    char check[kCheckLength + 1];
    std::snprintf(check, sizeof check, " *%08x", static_cast<unsigned>(Crc32(payload)));
    payload += check;
    payload += "\r\n";
    return payload;
}

void AppendCleanText(std::string& out, const std::string& text)
{
    for (char c : text) out += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
}

// The payload of a whole line whose check holds; nothing otherwise.
std::optional<std::string_view> CheckedPayload(std::string_view line)
{
    if (line.size() < kCheckLength || line.substr(line.size() - kCheckLength, 2) != " *") return std::nullopt;
    const std::string_view payload = line.substr(0, line.size() - kCheckLength);
    std::uint32_t check = 0;
    for (char c : line.substr(line.size() - 8)) {
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (digit < 0) return std::nullopt;
        check = check << 4 | static_cast<std::uint32_t>(digit);
    }
    if (check != Crc32(payload)) return std::nullopt;
    return payload;
}

std::string_view TakeField(std::string_view& text, char separator)
{
    const std::size_t end = text.find(separator);
    const std::string_view field = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    return field;
}

std::optional<JournalEvent> ParseEvent(std::string_view payload)
{
    const EventTag* tag = FindTag(TakeField(payload, ' '));
    if (!tag) return std::nullopt;
    JournalEvent event;
    event.kind = tag->kind;
    const std::optional<std::uint64_t> row = ParseDecimal(TakeField(payload, tag->hasTexts ? ' ' : '\n'));
    if (!row) return std::nullopt;
    event.row = *row;
    if (tag->hasTexts) {
        event.result = std::string(TakeField(payload, '\t'));
        event.deviceName = std::string(TakeField(payload, '\t'));
        event.deviceId = std::string(TakeField(payload, '\t'));
        while (!payload.empty()) event.further.emplace_back(TakeField(payload, '\t'));
    }
    return event;
}

} // namespace

const std::vector<std::string ListItem::*>& FurtherColumns()
{
    static const std::vector<std::string ListItem::*> columns = [] {
        std::vector<std::string ListItem::*> further;
        for (const ListColumnSpec& column : kListColumns)
            if (column.field != &ListItem::number && column.field != &ListItem::result &&
                column.field != &ListItem::deviceName && column.field != &ListItem::deviceId)
                further.push_back(column.field);
        return further;
    }();
    return columns;
}

std::string JournalFirstLine() { return WithCheck(std::string(kFirstLine)); }

std::string FormatJournalLine(const JournalEvent& event)
{
    const EventTag* tag = FindTag(event.kind);
    std::string payload(tag ? tag->tag : "");
    payload += ' ';
    payload += std::to_string(event.row);
    if (tag && tag->hasTexts) {
        std::vector<std::string> texts{event.result, event.deviceName, event.deviceId};
        texts.insert(texts.end(), event.further.begin(), event.further.end());
        for (std::size_t i = 0; i < texts.size(); ++i) {
            payload += i == 0 ? ' ' : '\t';
            AppendCleanText(payload, texts[i]);
        }
    }
    return WithCheck(std::move(payload));
}

void RunLedger::Count(RowOutcome outcome, int by)
{
    const auto add = [by](std::size_t& count) { count = by > 0 ? count + 1 : count - 1; };
    if (outcome != RowOutcome::NotReached) add(m_done);
    if (outcome == RowOutcome::Written) add(m_written);
    if (outcome == RowOutcome::Restarted) add(m_restarted);
}

bool RunLedger::Apply(const JournalEvent& event)
{
    switch (event.kind) {
    case JournalEventKind::RunStarted:
        if (m_started || event.row > kMaxLedgerRows) return false;
        m_started = true;
        m_rows.assign(static_cast<std::size_t>(event.row), LedgerRow());
        return true;
    case JournalEventKind::RunResumed:
    case JournalEventKind::RunEnded:
    case JournalEventKind::RunInterrupted:
        return m_started;
    default:
        break;
    }
    if (!m_started || event.row >= m_rows.size()) return false;
    LedgerRow& row = m_rows[static_cast<std::size_t>(event.row)];
    RowOutcome outcome = row.outcome;
    switch (event.kind) {
    case JournalEventKind::RowWritten: outcome = RowOutcome::Written; break;
    case JournalEventKind::RowNotWritten: outcome = RowOutcome::NotWritten; break;
    case JournalEventKind::RowRestarted:
        // Only a write is restarted; a restart after a later failure changes nothing.
        if (row.outcome != RowOutcome::Written) return true;
        outcome = RowOutcome::Restarted;
        break;
    case JournalEventKind::RestartGivenUp:
        if (row.outcome != RowOutcome::Restarted) return true;
        outcome = RowOutcome::Written;
        break;
    default: return false;
    }
    Count(row.outcome, -1);
    row.outcome = outcome;
    Count(row.outcome, +1);
    if (event.kind == JournalEventKind::RowWritten || event.kind == JournalEventKind::RowNotWritten) {
        row.result = event.result;
        row.deviceName = event.deviceName;
        row.deviceId = event.deviceId;
        row.further = event.further;
    }
    return true;
}

std::vector<std::size_t> RunLedger::RowsToDo() const
{
    std::vector<std::size_t> rows;
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].outcome != RowOutcome::Restarted) rows.push_back(i);
    return rows;
}

std::optional<JournalReplay> ReplayJournal(std::string_view bytes)
{
    const std::string first = JournalFirstLine();
    if (bytes.substr(0, first.size()) != first) return std::nullopt;
    JournalReplay replay;
    std::size_t at = first.size();
    while (at < bytes.size()) {
        const std::size_t end = bytes.find('\n', at);
        if (end == std::string_view::npos || end == at || bytes[end - 1] != '\r') break;
        const std::optional<std::string_view> payload = CheckedPayload(bytes.substr(at, end - 1 - at));
        if (!payload) break;
        const std::optional<JournalEvent> event = ParseEvent(*payload);
        if (!event || !replay.ledger.Apply(*event)) break;
        at = end + 1;
    }
    replay.wholeBytes = at;
    replay.tornTail = at < bytes.size();
    return replay;
}

} // namespace trevanil_host
