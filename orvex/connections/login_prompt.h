// What the connection registry needs of the login dialog: a modal run that answers
// IDOK (1) when the operator confirmed, and the three values typed in. The module's
// composition root hands the registry its dialog (g_dlgLogin); tests hand in their own.
#pragma once

class ILoginPrompt {
public:
    virtual ~ILoginPrompt() = default;
    // Runs the dialog modally on the calling thread: 1 (IDOK) confirmed, 2 (IDCANCEL) or -1 otherwise.
    virtual int DoModal() = 0;
    // The last confirmed values: UTF-16 texts, zero-terminated; the port as typed.
    virtual const char16_t* UserName() const = 0;
    virtual const char16_t* Password() const = 0;
    virtual int Port() const = 0;
};
