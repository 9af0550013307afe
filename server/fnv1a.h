// 64-bit FNV-1a: a cheap, stable hash for tags that must change whenever the bytes do (a
// file's ETag, a game's fingerprints on one line). Not for anything an attacker may choose to
// collide with.
#pragma once

#include <cstdint>
#include <string_view>

namespace starmoat::server {

constexpr uint64_t kFnv1aStart = 0xcbf29ce484222325ull;

// Carries on `hash` over `bytes`; start with kFnv1aStart.
constexpr uint64_t Fnv1a(std::string_view bytes, uint64_t hash = kFnv1aStart) {
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ull;
  }
  return hash;
}

}  // namespace starmoat::server
