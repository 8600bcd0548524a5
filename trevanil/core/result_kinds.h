// What a result text of the dialog's list says about its row, in either language: the
// dialog's own texts looked up, so a reader of the list (the host's record, its tally)
// follows any change of them.
#pragma once
#include <string>

enum class ResultKind {
    Written,     // written into its device
    Failed,      // the device was tried and not written: a later run may write it
    NotWritable, // the row itself cannot be written: incomplete, a GB device, its own port out of range
    Unknown,     // not a result text (the run's progress or final state)
};

ResultKind ClassifyResult(const std::string& result);

// Whether a result text says the row was written (either language).
inline bool IsWrittenResult(const std::string& result) { return ClassifyResult(result) == ResultKind::Written; }

