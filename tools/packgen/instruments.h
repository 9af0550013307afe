// Synthesised instrument samples for the two tunes. Tonal instruments are additive: whole
// cycles of a fixed length, so the loop at the end joins without a click.
#pragma once

#include "xm_writer.h"

namespace packgen {

XmInstrument MakePad(const char* name, double brightness);  // lush detuned strings
XmInstrument MakeBell(const char* name);                    // soft glassy bell
XmInstrument MakeBass(const char* name, double bite);       // saw bass with a filter pluck
XmInstrument MakeLead(const char* name, double pulse);      // pulse lead with vibrato
XmInstrument MakePluck(const char* name);                   // short bright arpeggio pluck
XmInstrument MakeKick(const char* name, double punch);
XmInstrument MakeSnare(const char* name, double noise);
XmInstrument MakeHat(const char* name, double length);      // seconds of ring

}  // namespace packgen
