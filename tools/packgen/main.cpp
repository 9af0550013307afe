// starmoat_packgen GAME_DIR ASSET_DIR EMBED_CPP [--review]
//
// Writes GAME_DIR/Data/Data.pp, GAME_DIR/sound/1.xm and 2.xm, ASSET_DIR/sfx/<Name>.wav,
// ASSET_DIR/contact-sheet.png, the desktop icons
// ASSET_DIR/icons/hicolor/<size>x<size>/apps/starmoat.png, the Windows icon file
// ASSET_DIR/icons/starmoat.ico and the source EMBED_CPP that embeds
// the effects and the window's icon. Every output
// is a pure function of this program, so two runs write the same bytes. With --review it
// also writes two compositions for looking at the art in context (ASSET_DIR/review-*.png).
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "contact_sheet.h"
#include "embed_writer.h"
#include "icon.h"
#include "pack_writer.h"
#include "review.h"
#include "songs.h"
#include "sound_effects.h"
#include "sprites.h"

int main(int argc, char** argv) {
  using namespace packgen;
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s GAME_DIR ASSET_DIR EMBED_CPP [--review]\n", argv[0]);
    return 2;
  }
  const std::string gameDir = argv[1], assetDir = argv[2], embedPath = argv[3];
  const bool review = argc > 4 && std::string(argv[4]) == "--review";
  try {
    std::vector<Picture> pack = DrawPack();
    WriteFile(gameDir + "/Data/Data.pp", EncodePack(pack));
    WriteContactSheet(pack, assetDir + "/contact-sheet.png");
    if (review) WriteReviews(pack, assetDir);

    std::vector<NamedBlob> sounds;
    for (int i = 0; i < 7; ++i) {
      sounds.push_back({kEffectFormats[i].name, MakeEffectWav(i)});
      WriteFile(assetDir + "/sfx/" + sounds.back().name + ".wav", sounds.back().bytes);
    }
    std::string source = EmbeddedSoundsSource(sounds);
    source += EmbeddedIconSource(kWindowIconSize, DrawIcon(kWindowIconSize));
    WriteFile(embedPath, std::vector<uint8_t>(source.begin(), source.end()));

    WriteFile(gameDir + "/sound/1.xm", EncodeXm(ComposeMenuSong()));
    WriteFile(gameDir + "/sound/2.xm", EncodeXm(ComposeGameSong()));

    for (int size : kDesktopIconSizes) {
      const std::string folder = std::to_string(size) + "x" + std::to_string(size);
      WriteIconPng(size, assetDir + "/icons/hicolor/" + folder + "/apps/starmoat.png");
    }
    WriteIconIco({std::begin(kWindowsIconSizes), std::end(kWindowsIconSizes)},
                 assetDir + "/icons/starmoat.ico");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "packgen: %s\n", e.what());
    return 1;
  }
  return 0;
}
