#include "run_keep_awake.h"

#include <atomic>

#include "activex/wide_text.h"

namespace trevanil_host {
namespace {

// Runs holding the session now; the window procedure reads it from the same thread.
std::atomic<int> g_runsHeld{0};

// Windows shows at most MAX_STR_BLOCKREASON - 1 characters; a longer reason is cut, never
// between the halves of a surrogate pair.
std::wstring ShownReason(const std::string& reason)
{
    std::wstring wide = activex::WideFromNarrow(reason, CP_UTF8);
    constexpr std::size_t kMost = MAX_STR_BLOCKREASON - 1;
    if (wide.size() > kMost) {
        std::size_t keep = kMost;
        if (IS_HIGH_SURROGATE(wide[keep - 1])) --keep;
        wide.resize(keep);
    }
    return wide;
}

} // namespace

CRunKeepAwake::CRunKeepAwake(HWND window, const std::string& reason) : m_window(window), m_reasonShown(false)
{
    // The display may turn off; the system stays up until the run lets go.
    SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);
    if (m_window != nullptr) m_reasonShown = ShutdownBlockReasonCreate(m_window, ShownReason(reason).c_str()) != 0;
    ++g_runsHeld;
}

CRunKeepAwake::~CRunKeepAwake()
{
    if (m_reasonShown) ShutdownBlockReasonDestroy(m_window);
    // The request is the thread's, not this object's: a run held inside another keeps it.
    if (--g_runsHeld == 0) SetThreadExecutionState(ES_CONTINUOUS);
}

LRESULT CRunKeepAwake::QueryEndSessionAnswer() { return g_runsHeld.load() > 0 ? FALSE : TRUE; }

} // namespace trevanil_host
