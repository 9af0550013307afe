# The recipes of SDL2_mixer and SDL2_ttf, the same for every target: sourced by the target files
# (windows-x64.sh, emscripten.sh), whose target_cmake they call with the target's toolchain.
# A change here rebuilds these two libraries for every target.

build_libsdl2_mixer() {
  # WAV and XM are all the game plays: the module decoder is libmodplug, linked directly.
  target_cmake "$1" "$2" -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_SAMPLES=OFF \
    -DSDL2MIXER_DEPS_SHARED=OFF \
    -DSDL2MIXER_MOD=ON -DSDL2MIXER_MOD_MODPLUG=ON -DSDL2MIXER_MOD_XMP=OFF \
    -DSDL2MIXER_CMD=OFF -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MIDI=OFF -DSDL2MIXER_MP3=OFF \
    -DSDL2MIXER_OGG=OFF -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_WAVE=ON
}

build_libsdl2_ttf() {
  # FreeType from its own folder of the cache, no HarfBuzz shaping.
  target_cmake "$1" "$2" -DSDL2TTF_VENDORED=OFF -DSDL2TTF_HARFBUZZ=OFF -DSDL2TTF_SAMPLES=OFF
}
