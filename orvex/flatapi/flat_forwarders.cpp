// Every forwarding export, generated from the one export list: each row becomes a
// cdecl function that hands its arguments to FlatForward with the row's shape.
#include <array>
#include <cstdint>

#include "flat_api.h"
#include "flat_forward.h"

#define FLAT_NAMED_PARAM(i) FlatArg a##i
#define FLAT_ARG_NAME(i) a##i

// ExportResult: what the export returns; LibraryResult: what the library function returns.
#define FLAT_DEFINE(ExportResult, name, argc, lookup, LibraryResult, dropped, copied)                  \
    extern "C" ExportResult name(FLAT_EACH_##argc(FLAT_NAMED_PARAM))                                   \
    {                                                                                                  \
        return static_cast<ExportResult>(FlatForward<LibraryResult, dropped, copied>(                  \
            lookup, std::array<FlatWord, argc>{FLAT_EACH_##argc(FLAT_ARG_NAME)}));                     \
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
