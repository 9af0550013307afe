#include "composer.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <stdexcept>

namespace packgen {

int ParseNote(const std::string& name) {
  static constexpr int kSteps[7] = {9, 11, 0, 2, 4, 5, 7};  // A..G from C
  if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') return 0;
  int semitone = kSteps[name[0] - 'A'];
  size_t pos = 1;
  if (name[pos] == '#') {
    ++semitone;
    ++pos;
  } else if (name[pos] == 'b') {
    --semitone;
    ++pos;
  }
  if (pos >= name.size() || name[pos] < '0' || name[pos] > '7') return 0;
  int note = (name[pos] - '0') * 12 + semitone + 1;
  return (note >= 1 && note <= 96) ? note : 0;
}

Composer::Composer(int channels, int patterns, int rowsPerPattern)
    : channels_(channels), rows_(rowsPerPattern) {
  for (int i = 0; i < patterns; ++i) patterns_.emplace_back(rowsPerPattern, channels);
}

XmCell& Composer::Cell(int row, int channel) {
  int p = row / rows_;
  if (row < 0 || p >= int(patterns_.size()) || channel < 0 || channel >= channels_) {
    throw std::out_of_range("row or channel outside the song");
  }
  return patterns_[p].At(row % rows_, channel);
}

void Composer::Note(int row, int channel, int note, int instrument, int volume) {
  if (note == 0) return;
  XmCell& c = Cell(row, channel);
  c.note = uint8_t(note);
  c.instrument = uint8_t(instrument);
  c.volume = uint8_t(0x10 + std::clamp(volume, 0, 64));
}

void Composer::Off(int row, int channel) {
  XmCell& c = Cell(row, channel);
  c = XmCell{};
  c.note = kXmKeyOff;
}

int Composer::Phrase(int row, int channel, int instrument, const std::string& text, int volume) {
  std::istringstream in(text);
  std::string token;
  while (in >> token) {
    int vol = volume;
    size_t colon = token.find(':');
    if (colon != std::string::npos) {
      vol = std::stoi(token.substr(colon + 1));
      token = token.substr(0, colon);
    }
    if (token == "-") {
      Off(row, channel);
    } else if (token == "x") {
      Note(row, channel, ParseNote("C4"), instrument, vol);
    } else if (token != ".") {
      int note = ParseNote(token);
      if (note == 0) throw std::invalid_argument("bad note " + token);
      Note(row, channel, note, instrument, vol);
    }
    ++row;
  }
  return row;
}

void Composer::Echo(int fromChannel, int toChannel, int delay, double scale, int instrument) {
  const int total = int(patterns_.size()) * rows_;
  for (int row = 0; row < total; ++row) {
    const XmCell source = Cell(row, fromChannel);
    int target = (row + delay) % total;
    if (source.note == kXmKeyOff) {
      Off(target, toChannel);
    } else if (source.note != 0) {
      int vol = int(std::lround((source.volume - 0x10) * scale));
      Note(target, toChannel, source.note, instrument, vol);
    }
  }
}

XmModule Composer::Finish(const std::string& name, int speed, int bpm) && {
  XmModule m;
  m.name = name;
  m.channels = channels_;
  m.speed = speed;
  m.bpm = bpm;
  m.restart = 0;
  for (size_t i = 0; i < patterns_.size(); ++i) m.orders.push_back(uint8_t(i));
  m.patterns = std::move(patterns_);
  return m;
}

}  // namespace packgen
