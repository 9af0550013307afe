// "2.xm", the game tune: A minor at 140 beats a minute, four-on-the-floor drums, a driving
// octave bass, sixteenth-note arpeggios and a pulse lead. 56 bars (about 96 s); the last bar
// sits on E so the loop lands back on the opening A minor.
#include <vector>

#include "composer.h"
#include "instruments.h"
#include "songs.h"

namespace packgen {

namespace {

enum Channel { kLead, kLead2, kBass, kArp, kPad1, kPad2, kKick, kSnare, kHat, kCrash, kChannels };
enum Instrument { iLead = 1, iBass, iArp, iPad, iKick, iSnare, iHat, iOpenHat, iLeadSoft };
constexpr int kBar = 16;
constexpr int kBars = 56;

// Bar by bar: the chord and which parts play.
struct Section {
  const char* chords[8];
  int bars;
  bool kick, arp, pad, lead, fullHats;
};
const Section kSections[] = {
    {{"Am", "Am", "F", "G"}, 4, true, false, false, false, false},                      // intro
    {{"Am", "F", "C", "G"}, 4, true, true, false, false, false},                        // intro 2
    {{"Am", "F", "C", "G", "Am", "F", "G", "E"}, 8, true, true, false, true, false},    // theme
    {{"Am", "F", "C", "G", "Am", "F", "G", "E"}, 8, true, true, true, true, true},      // theme +
    {{"F", "G", "Em", "Am", "Dm", "G", "C", "E"}, 8, true, true, true, true, true},     // bridge
    {{"Am", "F", "Dm", "E"}, 4, false, true, true, false, false},                       // break
    {{"Am", "F", "G", "E"}, 4, false, true, true, false, true},                         // build
    {{"Am", "F", "C", "G", "Am", "F", "G", "E"}, 8, true, true, true, true, true},      // theme
    {{"F", "G", "Em", "Am", "Dm", "G", "C", "E"}, 8, true, true, false, true, true},    // bridge
};

const char* const kTheme[8] = {
    "E5 . . . A5 . . . G5 . E5 . D5 . C5 .",
    "C5 . . . A4 . . . C5 . D5 . . . C5 .",
    "E5 . . . G5 . . . E5 . C5 . D5 . E5 .",
    "D5 . . . . . . . B4 . . . D5 . . .",
    "E5 . . . A5 . . . G5 . E5 . D5 . C5 .",
    "C5 . . . F5 . . . E5 . D5 . C5 . D5 .",
    "D5 . B4 . G4 . B4 . D5 . G5 . F5 . D5 .",
    "E5 . . . . . . . G#5 . . . B5 . . ."};
const char* const kBridge[8] = {
    "A5 . . . . . G5 . F5 . . . E5 . F5 .",
    "G5 . . . . . F5 . E5 . . . D5 . B4 .",
    "E5 . . . B4 . E5 . G5 . . . F#5 . E5 .",
    "A5 . . . . . . . - . . . A4 . C5 .",
    "D5 . . . F5 . . . A5 . . . G5 . F5 .",
    "G5 . . . D5 . . . B4 . . . D5 . G5 .",
    "E5 . . . C5 . . . G5 . . . E5 . C5 .",
    "B4 . . . . . . . G#4 . . . E5 . - ."};

std::string Octave(const std::string& root, int octave) { return root + std::to_string(octave); }

}  // namespace

XmModule ComposeGameSong() {
  Composer song(kChannels, kBars / 4);
  int bar = 0;
  for (const Section& s : kSections) {
    for (int i = 0; i < s.bars; ++i, ++bar) {
      const Chord& chord = ChordNamed(s.chords[i]);
      const int row = bar * kBar;
      // Bass: driving eighths with octave jumps.
      int low = (chord.root == "C" || chord.root == "D" || chord.root == "E") ? 2 : 1;
      std::string r1 = Octave(chord.root, low), r2 = Octave(chord.root, low + 1);
      song.Phrase(row, kBass, iBass,
                  r1 + ":58 . " + r1 + ":44 . " + r2 + ":52 . " + r1 + ":44 . " + r1 + ":56 . " +
                      r2 + ":46 . " + r1 + ":50 . " + r2 + ":48 .");
      if (s.arp) {
        const auto& a = chord.arp;
        const int order[16] = {0, 1, 2, 3, 2, 1, 0, 1, 2, 3, 2, 1, 0, 2, 1, 3};
        std::string line;
        for (int k = 0; k < 16; ++k) line += a[order[k]] + ":" + std::to_string(k % 4 == 0 ? 30 : 20) + " ";
        song.Phrase(row, kArp, iArp, line);
      }
      if (s.pad) {
        song.Phrase(row, kPad1, iPad, chord.voices[0], 30);
        song.Phrase(row, kPad2, iPad, chord.voices[2], 26);
      } else {
        song.Off(row, kPad1);
        song.Off(row, kPad2);
      }
      if (s.kick) {
        song.Phrase(row, kKick, iKick, "x:64 . . . x:60 . . . x:64 . . . x:60 . . x:36");
        song.Phrase(row, kSnare, iSnare, ". . . . x:56 . . . . . . . x:58 . . .");
      }
      if (s.fullHats) {
        song.Phrase(row, kHat, iHat, "x:20 x:12 x:30 x:12 x:20 x:12 x:30 x:14 x:20 x:12 x:30 x:12 x:20 x:12 x:30 x:16");
      } else {
        song.Phrase(row, kHat, iHat, ". . x:30 . . . x:30 . . . x:30 . . . x:30 .");
      }
      if (i == 0 && s.kick) song.Phrase(row, kCrash, iOpenHat, "x:40");
    }
  }
  // Lead lines.
  auto theme = [&](int firstBar, int volume, bool harmony) {
    for (int i = 0; i < 8; ++i) {
      song.Phrase((firstBar + i) * kBar, kLead, iLead, kTheme[i], volume);
      if (harmony) song.Phrase((firstBar + i) * kBar + 2, kLead2, iLeadSoft, kTheme[i], volume / 3);
    }
  };
  auto bridge = [&](int firstBar, int volume) {
    for (int i = 0; i < 8; ++i) song.Phrase((firstBar + i) * kBar, kLead, iLead, kBridge[i], volume);
  };
  theme(8, 44, false);
  theme(16, 46, true);
  bridge(24, 46);
  theme(40, 48, true);
  bridge(48, 48);
  // Fills into the sections that carry the theme.
  for (int bar : {7, 15, 23, 47}) song.Phrase(bar * kBar + 12, kSnare, iSnare, "x:40 x:46 x:52 x:58");
  // Snare roll in the build: eighths, then sixteenths rising.
  song.Phrase(36 * kBar, kSnare, iSnare,
              "x:20 . x:22 . x:24 . x:26 . x:28 . x:30 . x:32 . x:34 . "
              "x:30 . x:32 . x:34 . x:36 . x:38 . x:40 . x:42 . x:44 . "
              "x:36 x:38 x:40 x:42 x:44 x:46 x:48 x:50 x:40 x:42 x:44 x:46 x:48 x:50 x:52 x:54 "
              "x:44 x:46 x:48 x:50 x:52 x:54 x:56 x:58 x:60 x:62 x:64 x:64 x:64 x:64 x:64 x:64");

  XmModule m = std::move(song).Finish("Starmoat battle", 6, 140);
  m.instruments = {MakeLead("Pulse lead", 0.3), MakeBass("Drive bass", 1.0),
                   MakePluck("Arp pluck"),       MakePad("Wide pad", 0.75),
                   MakeKick("Kick", 1.0),         MakeSnare("Snare", 1.0),
                   MakeHat("Hat", 0.035),         MakeHat("Crash", 0.5),
                   MakeLead("Soft lead", 0.5)};
  m.instruments[iArp - 1].panning = 170;       // arpeggio a little right
  m.instruments[iLeadSoft - 1].panning = 80;   // harmony a little left
  return m;
}

}  // namespace packgen
