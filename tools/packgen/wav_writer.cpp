#include "wav_writer.h"

#include <algorithm>
#include <cmath>

#include "pack_writer.h"

namespace packgen {

std::vector<uint8_t> EncodeWav(int rate, int bits, const std::vector<double>& samples) {
  const uint32_t blockAlign = uint32_t(bits / 8);
  const uint32_t dataBytes = uint32_t(samples.size()) * blockAlign;
  // Started with its first bytes rather than inserted into an empty vector: GCC 12 at -O3
  // reports a false overflow (-Wstringop-overflow) for that insert.
  std::vector<uint8_t> out{'R', 'I', 'F', 'F'};
  out.reserve(44 + dataBytes);
  PutU32(out, 4 + 8 + 16 + 8 + dataBytes);
  out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  PutU32(out, 16);
  PutU16(out, 1);  // PCM
  PutU16(out, 1);  // mono
  PutU32(out, uint32_t(rate));
  PutU32(out, uint32_t(rate) * blockAlign);
  PutU16(out, blockAlign);
  PutU16(out, uint32_t(bits));
  out.insert(out.end(), {'d', 'a', 't', 'a'});
  PutU32(out, dataBytes);
  for (double s : samples) {
    s = std::clamp(s, -1.0, 1.0);
    if (bits == 8) {
      out.push_back(uint8_t(std::clamp(std::lround(128 + s * 127), 0L, 255L)));
    } else {
      PutU16(out, uint16_t(int16_t(std::lround(s * 32767))));
    }
  }
  return out;
}

}  // namespace packgen
