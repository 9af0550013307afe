// Writing a tune as text: a song is a run of 64-row patterns played in order, and phrases
// are written one token per row: a note ("C4", "F#3", "Bb5"), "." to let the previous note
// ring, "-" to release it, "x" to hit a drum at its default pitch. A token may carry a
// volume after a colon ("E5:40", "x:24"), 0..64.
#pragma once

#include <string>

#include "xm_writer.h"

namespace packgen {

class Composer {
 public:
  Composer(int channels, int patterns, int rowsPerPattern = 64);

  // Writes `text` on `channel` from absolute row `row` (row 0 = first row of pattern 0).
  // Returns the row after the phrase.
  int Phrase(int row, int channel, int instrument, const std::string& text, int volume = 64);
  // One note; note 0 is ignored.
  void Note(int row, int channel, int note, int instrument, int volume);
  void Off(int row, int channel);
  // Copies a channel's notes into another channel, `delay` rows later at `scale` volume and
  // with `instrument` (an echo); notes delayed past the end wrap round to the start, so the
  // echo of the last bar rings on when the tune loops.
  void Echo(int fromChannel, int toChannel, int delay, double scale, int instrument);

  // The song as a module, every pattern once in order, looping to the start.
  XmModule Finish(const std::string& name, int speed, int bpm) &&;

  int rowsPerPattern() const { return rows_; }

 private:
  XmCell& Cell(int row, int channel);
  int channels_, rows_;
  std::vector<XmPattern> patterns_;
};

// Parses a note name ("C4", "F#3", "Bb5") into an XM note number (C-0 = 1); 0 on error.
int ParseNote(const std::string& name);

}  // namespace packgen
