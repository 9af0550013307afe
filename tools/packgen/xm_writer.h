// The Extended Module (XM) file format, version 1.04: header, order list, patterns and
// instruments with one 16-bit sample each.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace packgen {

inline constexpr uint8_t kXmKeyOff = 97;

struct XmCell {
  uint8_t note = 0;        // 1..96 (C-0..B-7), kXmKeyOff, or 0 for none
  uint8_t instrument = 0;  // 1-based, 0 for none
  uint8_t volume = 0;      // volume column: 0x10..0x50 sets volume 0..64, 0 for none
  uint8_t effect = 0;
  uint8_t param = 0;
};

struct XmPattern {
  int rows = 64;
  int channels = 8;
  std::vector<XmCell> cells;  // row-major
  XmPattern(int rowCount, int channelCount)
      : rows(rowCount), channels(channelCount), cells(size_t(rowCount) * channelCount) {}
  XmCell& At(int row, int channel) { return cells[size_t(row) * channels + channel]; }
};

struct XmEnvelopePoint {
  uint16_t tick;
  uint16_t value;  // 0..64
};

struct XmInstrument {
  std::string name;
  std::vector<int16_t> sample;
  uint32_t loopStart = 0;   // in sample frames
  uint32_t loopLength = 0;  // 0: one-shot
  uint8_t volume = 64;
  int8_t finetune = 0;
  int8_t relativeNote = 0;
  uint8_t panning = 128;
  std::vector<XmEnvelopePoint> volumeEnvelope;  // empty: none
  int sustainPoint = -1;                        // -1: no sustain
  uint16_t fadeout = 0;
  uint8_t vibratoDepth = 0, vibratoRate = 0, vibratoSweep = 0;
};

struct XmModule {
  std::string name;
  int channels = 8;
  int speed = 6;  // ticks per row
  int bpm = 125;
  int restart = 0;
  std::vector<uint8_t> orders;
  std::vector<XmPattern> patterns;
  std::vector<XmInstrument> instruments;
};

std::vector<uint8_t> EncodeXm(const XmModule& module);

// Relative note and finetune that make a sample recorded at `sampleRate`, whose pitch is
// `samplePitchHz`, sound at the right pitch for every note.
void TuneSample(XmInstrument& instrument, double sampleRate, double samplePitchHz);

}  // namespace packgen
