// Declarations of the module's flat camera/media exports, made from the one export
// list. Every argument and result is a machine word (32 bits in the shipped module),
// so callers pass integers and pointers alike as FlatArg.
#pragma once
#include <cstdint>

using FlatArg = std::intptr_t;

// FLAT_EACH_n(P) is P(1), ..., P(n): a row's n words, as parameters or as arguments.
#define FLAT_EACH_0(P)
#define FLAT_EACH_1(P) P(1)
#define FLAT_EACH_2(P) FLAT_EACH_1(P), P(2)
#define FLAT_EACH_3(P) FLAT_EACH_2(P), P(3)
#define FLAT_EACH_4(P) FLAT_EACH_3(P), P(4)
#define FLAT_EACH_5(P) FLAT_EACH_4(P), P(5)
#define FLAT_EACH_6(P) FLAT_EACH_5(P), P(6)
#define FLAT_EACH_7(P) FLAT_EACH_6(P), P(7)
#define FLAT_EACH_8(P) FLAT_EACH_7(P), P(8)
#define FLAT_EACH_9(P) FLAT_EACH_8(P), P(9)
#define FLAT_EACH_10(P) FLAT_EACH_9(P), P(10)
#define FLAT_EACH_11(P) FLAT_EACH_10(P), P(11)
#define FLAT_EACH_12(P) FLAT_EACH_11(P), P(12)
#define FLAT_ARG_TYPE(i) FlatArg

extern "C" {
#define FLAT_ORDINARY(name, argc) std::int32_t name(FLAT_EACH_##argc(FLAT_ARG_TYPE));
#define FLAT_RENAMED(name, argc, lookup) FLAT_ORDINARY(name, argc)
#define FLAT_ARGCOPY(name, argc, k) FLAT_ORDINARY(name, argc)
#define FLAT_ARGDROP(name, argc, k) FLAT_ORDINARY(name, argc)
#define FLAT_RESULT32(name, argc) FLAT_ORDINARY(name, argc)
#define FLAT_RESULT8(name, argc) std::uint8_t name(FLAT_EACH_##argc(FLAT_ARG_TYPE));
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

