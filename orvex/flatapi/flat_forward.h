// How a forwarding export reaches the library: look the name up in both libraries,
// call the camera library's function if it has one, else the media library's, else
// answer 3. The arguments are reshaped at compile time (one dropped, or one passed as
// the address of the export's own copy); the result is the library's 8-bit status
// widened to 32 bits, or its full 32-bit value for the rows that return one.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "flat_lookup.h"

#if defined(_WIN32) && defined(__i386__)
#define FLAT_CDECL __cdecl
#else
#define FLAT_CDECL
#endif

using FlatWord = std::intptr_t;

// Answer of a forwarder when no loaded library offers its function.
constexpr std::int32_t kFlatUnavailable = 3;

// Argument positions below are 1-based; 0 means "no such argument".
//   Dropped: the export's argument that is not passed on
//   Copied:  the export's argument passed as the address of the export's own copy

namespace flat_detail {

// The export's argument that goes into library position `position` (0-based).
template <std::size_t Dropped, std::size_t Copied, std::size_t N>
FlatWord LibraryArgument(std::array<FlatWord, N>& exportArgs, std::size_t position)
{
    const std::size_t source = (Dropped != 0 && position + 1 >= Dropped) ? position + 1 : position;
    if (Copied != 0 && source + 1 == Copied)
        return reinterpret_cast<FlatWord>(&exportArgs[source]);
    return exportArgs[source];
}

template <std::size_t, typename T>
using Repeat = T;

template <typename LibraryResult, std::size_t Dropped, std::size_t Copied, std::size_t N, std::size_t... Position>
std::int32_t CallLibrary(void* function, std::array<FlatWord, N>& exportArgs, std::index_sequence<Position...>)
{
    using Function = LibraryResult(FLAT_CDECL*)(Repeat<Position, FlatWord>...);
    return static_cast<std::int32_t>(
        reinterpret_cast<Function>(function)(LibraryArgument<Dropped, Copied>(exportArgs, Position)...));
}

}  // namespace flat_detail

// LibraryResult: std::uint8_t for a status, std::int32_t for the rows with a 32-bit result.
template <typename LibraryResult, std::size_t Dropped, std::size_t Copied, std::size_t N>
std::int32_t FlatForward(const char* lookupName, std::array<FlatWord, N> exportArgs)
{
    static_assert(Dropped <= N && Copied <= N, "argument position out of range");
    constexpr std::size_t passed = N - (Dropped != 0 ? 1 : 0);

    const FlatCallScope call;  // the libraries stay until the call has returned
    if (!call) return kFlatUnavailable;
    const FlatTargets targets = FlatLookupBoth(lookupName);  // both looked up before either is used
    void* function = targets.camera ? targets.camera : targets.media;
    if (!function) return kFlatUnavailable;
    return flat_detail::CallLibrary<LibraryResult, Dropped, Copied>(function, exportArgs, std::make_index_sequence<passed>{});
}
