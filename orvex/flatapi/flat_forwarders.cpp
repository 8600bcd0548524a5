// Every forwarding export, generated from the one export list: each row becomes a
// cdecl function that hands its arguments to FlatForward with the row's shape.
#include <array>
#include <cstdint>

#include "flat_api.h"
#include "flat_forward.h"

#define FLAT_NAMED_PARAMS_0 void
#define FLAT_NAMED_PARAMS_1 FlatArg a1
#define FLAT_NAMED_PARAMS_2 FLAT_NAMED_PARAMS_1, FlatArg a2
#define FLAT_NAMED_PARAMS_3 FLAT_NAMED_PARAMS_2, FlatArg a3
#define FLAT_NAMED_PARAMS_4 FLAT_NAMED_PARAMS_3, FlatArg a4
#define FLAT_NAMED_PARAMS_5 FLAT_NAMED_PARAMS_4, FlatArg a5
#define FLAT_NAMED_PARAMS_6 FLAT_NAMED_PARAMS_5, FlatArg a6
#define FLAT_NAMED_PARAMS_7 FLAT_NAMED_PARAMS_6, FlatArg a7
#define FLAT_NAMED_PARAMS_8 FLAT_NAMED_PARAMS_7, FlatArg a8
#define FLAT_NAMED_PARAMS_9 FLAT_NAMED_PARAMS_8, FlatArg a9
#define FLAT_NAMED_PARAMS_10 FLAT_NAMED_PARAMS_9, FlatArg a10
#define FLAT_NAMED_PARAMS_11 FLAT_NAMED_PARAMS_10, FlatArg a11
#define FLAT_NAMED_PARAMS_12 FLAT_NAMED_PARAMS_11, FlatArg a12

#define FLAT_ARG_NAMES_0
#define FLAT_ARG_NAMES_1 a1
#define FLAT_ARG_NAMES_2 FLAT_ARG_NAMES_1, a2
#define FLAT_ARG_NAMES_3 FLAT_ARG_NAMES_2, a3
#define FLAT_ARG_NAMES_4 FLAT_ARG_NAMES_3, a4
#define FLAT_ARG_NAMES_5 FLAT_ARG_NAMES_4, a5
#define FLAT_ARG_NAMES_6 FLAT_ARG_NAMES_5, a6
#define FLAT_ARG_NAMES_7 FLAT_ARG_NAMES_6, a7
#define FLAT_ARG_NAMES_8 FLAT_ARG_NAMES_7, a8
#define FLAT_ARG_NAMES_9 FLAT_ARG_NAMES_8, a9
#define FLAT_ARG_NAMES_10 FLAT_ARG_NAMES_9, a10
#define FLAT_ARG_NAMES_11 FLAT_ARG_NAMES_10, a11
#define FLAT_ARG_NAMES_12 FLAT_ARG_NAMES_11, a12

// ExportResult: what the export returns; LibraryResult: what the library function returns.
#define FLAT_DEFINE(ExportResult, name, argc, lookup, LibraryResult, dropped, copied)                  \
    extern "C" ExportResult name(FLAT_NAMED_PARAMS_##argc)                                             \
    {                                                                                                  \
        return static_cast<ExportResult>(FlatForward<LibraryResult, dropped, copied>(                  \
            lookup, std::array<FlatWord, argc>{FLAT_ARG_NAMES_##argc}));                               \
    }

#define FLAT_ORDINARY(name, argc) FLAT_DEFINE(std::int32_t, name, argc, #name, std::uint8_t, 0, 0)
#define FLAT_RENAMED(name, argc, lookup) FLAT_DEFINE(std::int32_t, name, argc, lookup, std::uint8_t, 0, 0)
#define FLAT_ARGCOPY(name, argc, k) FLAT_DEFINE(std::int32_t, name, argc, #name, std::uint8_t, 0, k)
#define FLAT_ARGDROP(name, argc, k) FLAT_DEFINE(std::int32_t, name, argc, #name, std::uint8_t, k, 0)
#define FLAT_RESULT32(name, argc) FLAT_DEFINE(std::int32_t, name, argc, #name, std::int32_t, 0, 0)
#define FLAT_RESULT8(name, argc) FLAT_DEFINE(std::uint8_t, name, argc, #name, std::uint8_t, 0, 0)
#define FLAT_OWN(name, argc)      // flat_loading.cpp
#define FLAT_TAILCALL(name)       // flat_tail_call.cpp
#include "flat_exports.inc"
