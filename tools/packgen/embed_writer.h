// Writes the C++ source that carries the seven effects inside the executable.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace packgen {

struct NamedBlob {
  std::string name;
  std::vector<uint8_t> bytes;
};

// Source text defining kEmbeddedSounds (see src/audio/embedded_sounds.h).
std::string EmbeddedSoundsSource(const std::vector<NamedBlob>& sounds);

}  // namespace packgen
