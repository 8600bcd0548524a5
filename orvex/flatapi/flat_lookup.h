// The one look-up the forwarders make on every call: the function's address in the
// camera library and in the media library (each null when that library is not
// loaded or does not export the name).
#pragma once

struct FlatTargets {
    void* camera;
    void* media;
};

FlatTargets FlatLookupBoth(const char* name);

// Every forwarded call is counted while it runs, so that a release can wait until no
// other thread is inside a library before it finishes and unloads it. FlatEnterCall
// answers false (and counts nothing) while a release is under way: the call then
// answers as if no library were loaded.
bool FlatEnterCall() noexcept;
void FlatLeaveCall() noexcept;

class FlatCallScope {
public:
    FlatCallScope() noexcept : m_entered(FlatEnterCall()) {}
    ~FlatCallScope()
    {
        if (m_entered) FlatLeaveCall();
    }
    FlatCallScope(const FlatCallScope&) = delete;
    FlatCallScope& operator=(const FlatCallScope&) = delete;
    explicit operator bool() const noexcept { return m_entered; }

private:
    bool m_entered;
};
