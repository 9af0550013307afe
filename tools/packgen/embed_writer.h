// Writes the C++ source that carries the seven effects and the window's icon inside the
// executable.
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

// Source text defining kWindowIcon (see src/platform/window_icon.h) from size x size pixels
// of straight-alpha 0xAARRGGBB.
std::string EmbeddedIconSource(int size, const std::vector<uint32_t>& pixels);

}  // namespace packgen
