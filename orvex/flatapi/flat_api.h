// Declarations of the module's flat camera/media exports, made from the one export
// list. Every argument and result is a machine word (32 bits in the shipped module),
// so callers pass integers and pointers alike as FlatArg.
#pragma once
#include <cstdint>

using FlatArg = std::intptr_t;

#define FLAT_PARAMS_0 void
#define FLAT_PARAMS_1 FlatArg
#define FLAT_PARAMS_2 FLAT_PARAMS_1, FlatArg
#define FLAT_PARAMS_3 FLAT_PARAMS_2, FlatArg
#define FLAT_PARAMS_4 FLAT_PARAMS_3, FlatArg
#define FLAT_PARAMS_5 FLAT_PARAMS_4, FlatArg
#define FLAT_PARAMS_6 FLAT_PARAMS_5, FlatArg
#define FLAT_PARAMS_7 FLAT_PARAMS_6, FlatArg
#define FLAT_PARAMS_8 FLAT_PARAMS_7, FlatArg
#define FLAT_PARAMS_9 FLAT_PARAMS_8, FlatArg
#define FLAT_PARAMS_10 FLAT_PARAMS_9, FlatArg
#define FLAT_PARAMS_11 FLAT_PARAMS_10, FlatArg
#define FLAT_PARAMS_12 FLAT_PARAMS_11, FlatArg

extern "C" {
#define FLAT_ORDINARY(name, argc) std::int32_t name(FLAT_PARAMS_##argc);
#define FLAT_RENAMED(name, argc, lookup) FLAT_ORDINARY(name, argc)
#define FLAT_ARGCOPY(name, argc, k) FLAT_ORDINARY(name, argc)
#define FLAT_ARGDROP(name, argc, k) FLAT_ORDINARY(name, argc)
#define FLAT_RESULT32(name, argc) FLAT_ORDINARY(name, argc)
#define FLAT_RESULT8(name, argc) std::uint8_t name(FLAT_PARAMS_##argc);
#define FLAT_OWN(name, argc) FLAT_ORDINARY(name, argc)
#define FLAT_TAILCALL(name) std::int32_t name();
#include "flat_exports.inc"
#undef FLAT_ORDINARY
#undef FLAT_RENAMED
#undef FLAT_ARGCOPY
#undef FLAT_ARGDROP
#undef FLAT_RESULT32
#undef FLAT_RESULT8
#undef FLAT_OWN
#undef FLAT_TAILCALL
}

