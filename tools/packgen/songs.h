// The two tunes: "1.xm" for the menus (calm, spacey) and "2.xm" for the game (driving).
#pragma once

#include <string>
#include <vector>

#include "xm_writer.h"

namespace packgen {

XmModule ComposeMenuSong();
XmModule ComposeGameSong();

// Chord symbols the songs use ("Am", "F", "Bb", "E", "A", "Gm", "Dm", "C", "G", "Em", "Asus").
struct Chord {
  std::string root;                // bass note name without octave, e.g. "Bb"
  std::vector<std::string> voices; // three pad notes with octaves, close voicing
  std::vector<std::string> arp;    // chord tones for arpeggios, low to high, with octaves
};
const Chord& ChordNamed(const std::string& name);

}  // namespace packgen
