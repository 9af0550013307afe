// What the game shows and plays while someone watches it. The window's shell installs both
// (shell/game_view); the headless verifier installs neither, and the game then draws and
// sounds nothing. Nothing that comes back from them reaches the game's state.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace gfx {
class TSurface;
}
class TGame;

// Every picture the game draws, into the frame's surface. Sprite and screen image numbers are
// the pack's slots; rectangles are in pixels with exclusive right and bottom.
class IGamePainter {
 public:
  virtual ~IGamePainter() = default;
  // Once per game, before its first frame: the picture of the player's ship takes its key.
  virtual void PrepareShip() = 0;
  // Part `source` of sprite `image`, colour-keyed and clipped to the field.
  virtual void Sprite(gfx::TSurface* target, int32_t image, const platform::Rect& source,
                      int32_t x, int32_t y) = 0;
  // The whole of sprite `image` (enemy ships, bosses), the same way.
  virtual void WholeSprite(gfx::TSurface* target, int32_t image, int32_t x, int32_t y) = 0;
  // Part of the picture of shot kind `kind`; the player's shots are drawn upside down.
  virtual void Shot(gfx::TSurface* target, uint8_t kind, bool flipped,
                    const platform::Rect& source, int32_t x, int32_t y) = 0;
  // The player's ship: frame `source` of its strip, keyed but not clipped.
  virtual void Ship(gfx::TSurface* target, const platform::Rect& source, int32_t x, int32_t y) = 0;
  // A life bar.
  virtual void Bar(gfx::TSurface* target, int32_t left, int32_t top, int32_t width,
                   int32_t height, uint32_t rgb) = 0;
  // A label of the display face, as gfx::DrawLabel.
  virtual void Label(gfx::TSurface* target, int32_t x, int32_t y, int32_t fontHeight,
                     int32_t fontWidth, const std::string& text, uint32_t rgb) = 0;
  // The head-up display over everything else of the frame.
  virtual void Hud(gfx::TSurface* target, const TGame& game) = 0;
};

// The game's sounds. Effects are the SoundEffect numbers of the sound bank.
class IGameSounds {
 public:
  virtual ~IGameSounds() = default;
  // An effect for an event at screen position (x, y).
  virtual void Effect(int32_t x, int32_t y, int32_t effect) = 0;
  // An effect as it stands, with no position (the game-over sound).
  virtual void EffectDirect(int32_t effect) = 0;
  // The last life is gone: the tune stops.
  virtual void StopMusic() = 0;
};

// Null: nothing is drawn (a frame without a picture still steps the world exactly the same).
extern IGamePainter* GamePainter;
// Null: silence.
extern IGameSounds* GameSounds;

// Calls for the game's code: nothing happens without a painter or a target.
inline IGamePainter* PainterFor(const gfx::TSurface* target) {
  return target ? GamePainter : nullptr;
}
inline void GameSound(int32_t x, int32_t y, int32_t effect) {
  if (GameSounds) GameSounds->Effect(x, y, effect);
}
