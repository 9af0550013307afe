#include "xm_writer.h"

#include <cmath>
#include <stdexcept>

#include "pack_writer.h"

namespace packgen {

namespace {

void PutText(std::vector<uint8_t>& out, const std::string& text, size_t width) {
  for (size_t i = 0; i < width; ++i) out.push_back(i < text.size() ? uint8_t(text[i]) : 0);
}

// Packed pattern data: a cell with all five fields is stored raw, others as a flag byte and
// the fields present.
std::vector<uint8_t> PackPattern(const XmPattern& p) {
  std::vector<uint8_t> data;
  for (const XmCell& c : p.cells) {
    uint8_t flags = 0x80 | (c.note ? 1 : 0) | (c.instrument ? 2 : 0) | (c.volume ? 4 : 0) |
                    (c.effect ? 8 : 0) | (c.param ? 16 : 0);
    if (flags == 0x9F) {
      data.insert(data.end(), {c.note, c.instrument, c.volume, c.effect, c.param});
      continue;
    }
    data.push_back(flags);
    if (c.note) data.push_back(c.note);
    if (c.instrument) data.push_back(c.instrument);
    if (c.volume) data.push_back(c.volume);
    if (c.effect) data.push_back(c.effect);
    if (c.param) data.push_back(c.param);
  }
  return data;
}

void PutInstrument(std::vector<uint8_t>& out, const XmInstrument& in) {
  PutU32(out, 263);
  PutText(out, in.name, 22);
  out.push_back(0);
  PutU16(out, 1);
  PutU32(out, 40);  // sample header size
  for (int i = 0; i < 96; ++i) out.push_back(0);
  for (int i = 0; i < 12; ++i) {
    XmEnvelopePoint p = i < int(in.volumeEnvelope.size()) ? in.volumeEnvelope[i] : XmEnvelopePoint{0, 0};
    PutU16(out, p.tick);
    PutU16(out, p.value);
  }
  for (int i = 0; i < 12; ++i) {  // panning envelope: unused, centred
    PutU16(out, 0);
    PutU16(out, 32);
  }
  out.push_back(uint8_t(in.volumeEnvelope.size()));
  out.push_back(0);
  out.push_back(uint8_t(in.sustainPoint < 0 ? 0 : in.sustainPoint));
  out.push_back(0);  // loop start / end points: no envelope loop
  out.push_back(0);
  out.push_back(0);  // panning sustain, loop start, loop end
  out.push_back(0);
  out.push_back(0);
  uint8_t volType = in.volumeEnvelope.empty() ? 0 : (1 | (in.sustainPoint >= 0 ? 2 : 0));
  out.push_back(volType);
  out.push_back(0);  // panning envelope off
  out.push_back(0);  // vibrato type: sine
  out.push_back(in.vibratoSweep);
  out.push_back(in.vibratoDepth);
  out.push_back(in.vibratoRate);
  PutU16(out, in.fadeout);
  for (int i = 0; i < 22; ++i) out.push_back(0);  // reserved
  // Sample header; lengths are in bytes for 16-bit data.
  PutU32(out, uint32_t(in.sample.size() * 2));
  PutU32(out, in.loopStart * 2);
  PutU32(out, in.loopLength * 2);
  out.push_back(in.volume);
  out.push_back(uint8_t(in.finetune));
  out.push_back(uint8_t(0x10 | (in.loopLength ? 1 : 0)));  // 16-bit, forward loop
  out.push_back(in.panning);
  out.push_back(uint8_t(in.relativeNote));
  out.push_back(0);
  PutText(out, in.name, 22);
  // Delta-coded sample data.
  int16_t previous = 0;
  for (int16_t s : in.sample) {
    PutU16(out, uint16_t(int16_t(s - previous)));
    previous = s;
  }
}

}  // namespace

std::vector<uint8_t> EncodeXm(const XmModule& m) {
  if (m.orders.empty() || m.orders.size() > 256 || m.patterns.size() > 256 ||
      m.instruments.size() > 128) {
    throw std::invalid_argument("module out of range");
  }
  std::vector<uint8_t> out;
  PutText(out, "Extended Module: ", 17);
  PutText(out, m.name, 20);
  out.push_back(0x1A);
  PutText(out, "Starmoat packgen", 20);
  PutU16(out, 0x0104);
  PutU32(out, 276);
  PutU16(out, uint32_t(m.orders.size()));
  PutU16(out, uint32_t(m.restart));
  PutU16(out, uint32_t(m.channels));
  PutU16(out, uint32_t(m.patterns.size()));
  PutU16(out, uint32_t(m.instruments.size()));
  PutU16(out, 1);  // linear frequency table
  PutU16(out, uint32_t(m.speed));
  PutU16(out, uint32_t(m.bpm));
  for (size_t i = 0; i < 256; ++i) out.push_back(i < m.orders.size() ? m.orders[i] : 0);
  for (const XmPattern& p : m.patterns) {
    if (p.channels != m.channels) throw std::invalid_argument("pattern channel count");
    std::vector<uint8_t> data = PackPattern(p);
    PutU32(out, 9);
    out.push_back(0);
    PutU16(out, uint32_t(p.rows));
    PutU16(out, uint32_t(data.size()));
    out.insert(out.end(), data.begin(), data.end());
  }
  for (const XmInstrument& in : m.instruments) PutInstrument(out, in);
  return out;
}

void TuneSample(XmInstrument& instrument, double sampleRate, double samplePitchHz) {
  // Note C-4 plays a sample at 8363 Hz; the sample must then sound middle C.
  const double middleC = 261.6255653;
  double semitones = 12 * std::log2(middleC * sampleRate / (8363.0 * samplePitchHz));
  int whole = int(std::floor(semitones + 0.5));
  int fine = int(std::lround((semitones - whole) * 128));
  if (fine > 127) fine = 127;
  if (fine < -128) fine = -128;
  instrument.relativeNote = int8_t(whole);
  instrument.finetune = int8_t(fine);
}

}  // namespace packgen
