// The sprite pack: each picture as a 24-bit BMP file, stored as a 4-byte little-endian length
// followed by the file, one record after another.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "picture.h"

namespace packgen {

// A complete uncompressed 24-bit bottom-up BMP file.
std::vector<uint8_t> EncodeBmp(const Picture& picture);

// The whole pack, records in the order given.
std::vector<uint8_t> EncodePack(const std::vector<Picture>& pictures);

// Writes bytes to a file, creating its folder; throws std::runtime_error on failure.
void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);

// Little-endian appenders shared by the file writers.
void PutU16(std::vector<uint8_t>& out, uint32_t v);
void PutU32(std::vector<uint8_t>& out, uint32_t v);

}  // namespace packgen
