// The period the dialog's window timer really gets for a period the run asks for. The
// shipped module links run_timer_period.cpp, which gives the period asked for; the tests'
// build of the module links a short one in its place, so that a test of many rows takes
// seconds instead of minutes.
#pragma once

unsigned RunTimerPeriodMs(unsigned requestedMs);
