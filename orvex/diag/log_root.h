// Where the log files and the crash dumps go.
#pragma once

// The fixed root, with its trailing backslash; the day files lie in its "Log\" folder,
// the dumps beside that folder.
constexpr const char* kLogRoot = "C:\\orvex\\";

// The root in use: kLogRoot unless a test has set another.
const char* LogRootPath();

// Test seam: later writes go under another root (with its trailing backslash; null:
// back to kLogRoot), and the next write runs the directory set-up again for it.
void SetLogRootForTesting(const char* root);
