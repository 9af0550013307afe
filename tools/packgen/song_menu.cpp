// "1.xm", the menu tune: slow D-minor pads, a glassy bell, a soft lead with an echo and a
// gentle beat in the middle. 24 bars at 84 beats a minute (about 69 s), ending on the
// dominant so the loop falls back into the opening bar.
#include "composer.h"
#include "instruments.h"
#include "songs.h"

namespace packgen {

namespace {

enum Channel { kPad1, kPad2, kPad3, kBass, kLead, kEcho, kBell, kKick, kSnare, kHat, kChannels };
enum Instrument { iPad = 1, iBell, iBass, iLead, iKick, iSnare, iHat, iEcho };
constexpr int kBar = 16;

const char* const kProgression[24] = {
    "Dm", "Bb", "Gm", "A",   // intro
    "Dm", "Bb", "Gm", "A",   // theme
    "Dm", "Bb", "Gm", "A",   // theme again, with the beat
    "Bb", "C",  "Am", "Dm",  // bridge
    "Gm", "Bb", "C",  "A",   // bridge, rising
    "Dm", "Bb", "Gm", "Asus"};

const char* const kThemeA[4] = {
    "A4 . . . . . D5 . . . E5 . F5 . . .",
    "E5 . . . D5 . . . . . A4 . . . . .",
    "Bb4 . . . A4 . G4 . . . F4 . G4 . . .",
    "A4 . . . . . . . . . . . - . . ."};
const char* const kThemeB[4] = {
    "A4 . . . . . D5 . . . E5 . F5 . G5 .",
    "A5 . . . G5 . F5 . . . E5 . D5 . . .",
    "D5 . . . C5 . Bb4 . . . A4 . G4 . A4 .",
    "A4 . . . . . . . E5 . . . C#5 . . ."};
const char* const kBridgeA[4] = {
    "F5 . . . . . D5 . . . F5 . G5 . . .",
    "E5 . . . . . C5 . . . E5 . G5 . . .",
    "A5 . . . G5 . E5 . . . C5 . D5 . E5 .",
    "D5 . . . . . . . . . . . - . . ."};
const char* const kBridgeB[4] = {
    "D5 . . . . . Bb4 . . . D5 . G5 . . .",
    "F5 . . . . . D5 . . . F5 . A5 . . .",
    "G5 . . . E5 . C5 . . . E5 . G5 . . .",
    "E5 . . . . . . . C#5 . . . . . - ."};
const char* const kThemeEnd[4] = {
    "A4 . . . . . D5 . . . E5 . F5 . . .",
    "E5 . . . D5 . . . . . F5 . E5 . D5 .",
    "D5 . . . . . Bb4 . . . A4 . G4 . . .",
    "A4 . . . . . . . . . . . - . . ."};

void Melody(Composer& song, int bar, const char* const lines[4], int volume) {
  for (int i = 0; i < 4; ++i) song.Phrase((bar + i) * kBar, kLead, iLead, lines[i], volume);
}

}  // namespace

XmModule ComposeMenuSong() {
  Composer song(kChannels, 6);
  for (int bar = 0; bar < 24; ++bar) {
    const Chord& chord = ChordNamed(kProgression[bar]);
    const int row = bar * kBar;
    const int padVolume = bar < 4 ? 40 : 34;
    // A pad voice that keeps its note from the previous bar rings on instead of restarting.
    const Chord* before = bar > 0 ? &ChordNamed(kProgression[bar - 1]) : nullptr;
    for (int v = 0; v < 3; ++v) {
      if (before == nullptr || before->voices[v] != chord.voices[v]) {
        song.Phrase(row, kPad1 + v, iPad, chord.voices[v], padVolume);
      }
    }
    // Bell: a slow broken chord, high and quiet.
    const auto& a = chord.arp;
    std::string bell = a[0] + ":22 . . " + a[1] + ":18 . . " + a[2] + ":20 . . " + a[3] +
                       ":16 . . " + a[2] + ":14 . . " + a[1] + ":12 .";
    if (bar % 2 == 1 || bar < 4) song.Phrase(row, kBell, iBell, bell);
    if (bar >= 4) {
      std::string root2 = chord.root + (chord.root == "C" || chord.root == "D" ? "3" : "2");
      std::string root1 = chord.root + (chord.root == "C" || chord.root == "D" ? "2" : "1");
      song.Phrase(row, kBass, iBass, root2 + ":52 . . . . . . . . . " + root1 + ":44 . " + root2 + ":40 . . .");
    }
    // A gentle beat through the second theme and the bridge.
    if (bar >= 8 && bar < 23) {
      song.Phrase(row, kKick, iKick, "x:46 . . . . . . . . . x:30 . . . . .");
      song.Phrase(row, kSnare, iSnare, ". . . . x:22 . . . . . . . x:26 . . .");
      song.Phrase(row, kHat, iHat, "x:14 . x:8 . x:14 . x:8 . x:14 . x:8 . x:14 . x:10 x:6");
    }
  }
  Melody(song, 4, kThemeA, 44);
  Melody(song, 8, kThemeB, 46);
  Melody(song, 12, kBridgeA, 46);
  Melody(song, 16, kBridgeB, 48);
  Melody(song, 20, kThemeEnd, 42);
  song.Phrase(19 * kBar + 12, kSnare, iSnare, "x:18 x:22 x:26 x:30");
  song.Echo(kLead, kEcho, 3, 0.45, iEcho);

  XmModule m = std::move(song).Finish("Starmoat menu", 6, 84);
  m.instruments = {MakePad("Nebula pad", 0.82),  MakeBell("Glass bell"), MakeBass("Soft bass", 0.3),
                   MakeLead("Echo lead", 0.5),   MakeKick("Soft kick", 0.6),
                   MakeSnare("Rim", 0.6),        MakeHat("Dust hat", 0.03),
                   MakeLead("Echo", 0.5)};
  m.instruments[iLead - 1].panning = 150;  // the lead a little right, its echo left
  m.instruments[iEcho - 1].panning = 90;
  m.instruments[iBell - 1].panning = 100;
  return m;
}

}  // namespace packgen
