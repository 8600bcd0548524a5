// Translation of the device libraries' error values into the shared result codes.
#pragma once

// errV5: the PU library's result (0 success, negative error). Values outside
// -100..0 and unlisted ones give -1.
int TranslateErrV5(int errV5);

// errV7: the camera library's error value (1 success). Values outside 1..233 and
// unlisted ones give -1.
int TranslateErrV7(int errV7);

// The adapters' way of reporting a failed call: -1 first, then the translation.
inline void SetCodeFromErrV5(int* errPu, int errV5) { *errPu = -1; *errPu = TranslateErrV5(errV5); }
inline void SetCodeFromErrV7(int* errPu, int errV7) { *errPu = -1; *errPu = TranslateErrV7(errV7); }
