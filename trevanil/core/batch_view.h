// What the batch run needs of its dialog. The window side implements it over the real
// controls; tests implement it with a recording fake. Calls come on the window thread.
#pragma once
#include <cstddef>
#include <string>

#include "device_list.h"
#include "list_columns.h"

// The texts the operator enters, as the dialog exchanges them with its edits. UTF-8.
struct BatchFields
{
    std::string platformIp;  // edit 201
    std::string port;        // edit 202
    std::string path;        // edit 203
};

class IBatchView
{
public:
    // Reads the texts from the edits / writes them back into the edits.
    virtual BatchFields ReadFields() = 0;
    virtual void WriteFields(const BatchFields& fields) = 0;

    // Enables or disables the three edits, Browse and Write (Cancel and the list stay).
    virtual void EnableInputs(bool enable) = 0;

    // List: remove every item; insert an item whose column 0 is the (ASCII) text.
    virtual void DeleteAllItems() = 0;
    virtual void InsertItem(std::size_t index, const std::string& text) = 0;
    // Sets one column of an existing item. Texts read from the device list file come in
    // that file's encoding; the run's own texts are UTF-8.
    virtual void SetItemText(std::size_t item, int column, const std::string& text, TextEncoding encoding) = 0;
    // Scrolls the list to its last item.
    virtual void ScrollToEnd() = 0;

    // A modal message box with an OK button, owned by the dialog. UTF-8 texts.
    virtual void ShowMessage(const char* text, const char* caption) = 0;

    // The dialog's window timer.
    virtual void StartTimer(unsigned id, unsigned periodMs) = 0;
    virtual void StopTimer(unsigned id) = 0;

    // Posts the close flag to the control (1: a run is starting, 0: none is active now),
    // which passes it on to the host as its SetCloseFlag event.
    virtual void PostCloseFlag(int flag) = 0;

protected:
    ~IBatchView() = default;
};
