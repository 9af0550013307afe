// The chord voicings both tunes are built on.
#include <map>
#include <stdexcept>

#include "songs.h"

namespace packgen {

const Chord& ChordNamed(const std::string& name) {
  static const std::map<std::string, Chord> kChords = {
      {"Am", {"A", {"A3", "C4", "E4"}, {"A4", "C5", "E5", "A5"}}},
      {"A", {"A", {"A3", "C#4", "E4"}, {"A4", "C#5", "E5", "A5"}}},
      {"Asus", {"A", {"A3", "D4", "E4"}, {"A4", "D5", "E5", "A5"}}},
      {"Bb", {"Bb", {"A3", "D4", "F4"}, {"Bb4", "D5", "F5", "A5"}}},
      {"C", {"C", {"G3", "C4", "E4"}, {"C5", "E5", "G5", "C6"}}},
      {"Dm", {"D", {"A3", "D4", "F4"}, {"D5", "F5", "A5", "C6"}}},
      {"E", {"E", {"B3", "E4", "G#4"}, {"E4", "G#4", "B4", "E5"}}},
      {"Em", {"E", {"B3", "E4", "G4"}, {"E4", "G4", "B4", "E5"}}},
      {"F", {"F", {"A3", "C4", "F4"}, {"F4", "A4", "C5", "F5"}}},
      {"G", {"G", {"B3", "D4", "G4"}, {"G4", "B4", "D5", "G5"}}},
      {"Gm", {"G", {"Bb3", "D4", "F4"}, {"G4", "Bb4", "D5", "F5"}}},
  };
  auto it = kChords.find(name);
  if (it == kChords.end()) throw std::invalid_argument("unknown chord " + name);
  return it->second;
}

}  // namespace packgen
