// A minimal PNG encoder for screenshots: 8-bit RGB, no filtering, stored (uncompressed)
// deflate blocks. Large files, but no library is needed and any viewer reads them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace trevanil_host {

// `rgb` holds height rows of width pixels, 3 bytes each (red, green, blue), top row first.
// Returns the PNG file's bytes; empty when the sizes do not match the pixel data.
std::string EncodePng(std::uint32_t width, std::uint32_t height, const std::vector<std::uint8_t>& rgb);

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0);

} // namespace trevanil_host
