# The browser game (included by the top-level CMakeLists.txt for an Emscripten build): the
# program as starmoat.js + starmoat.wasm, its data (sprite pack, tunes, fonts) packed into
# starmoat.data, and the page around it, all in web/ of the build folder, which is what
# `starmoat-scores serve --web-root` serves at /play/.
#
# The frame loop stays the program's own: it waits for the next 64 Hz tick by yielding to the
# browser (ASYNCIFY turns emscripten_sleep into a return to the browser and a resume), so the
# loop, the "Please wait..." screen's blocking send and the short key waits run unchanged.
set(STARMOAT_WEB_DIR ${CMAKE_BINARY_DIR}/web)
file(MAKE_DIRECTORY ${STARMOAT_WEB_DIR})

# The faces the game draws with (src/graphics/font_cache.h), which a page cannot take from the
# system: the labels, the option values and text entry, and the fallback.
set(STARMOAT_WEB_FONTS
  /usr/share/fonts/truetype/play/Play-Bold.ttf
  /usr/share/fonts/opentype/urw-base35/NimbusMonoPS-Bold.otf
  /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf)
file(COPY ${STARMOAT_WEB_FONTS} DESTINATION ${STARMOAT_GAME_DIR}/fonts)

set(STARMOAT_WEB_PAGE_JS ${CMAKE_SOURCE_DIR}/src/platform/web/web_page.js)
set_target_properties(starmoat PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${STARMOAT_WEB_DIR} SUFFIX ".js"
  LINK_DEPENDS "${STARMOAT_WEB_PAGE_JS};${STARMOAT_GAME_DIR}/Data/Data.pp")
# The link runs Emscripten's JavaScript tools on the system Node, which finds them here.
set_property(TARGET starmoat PROPERTY RULE_LAUNCH_LINK
  "${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs")
option(STARMOAT_WEB_ASYNCIFY "Build the page's frame loop with ASYNCIFY (off only to measure its cost)" ON)
set(STARMOAT_WEB_LINK_OPTIONS
  -sENVIRONMENT=web -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=64MB -sEXIT_RUNTIME=1
  -sFORCE_FILESYSTEM=1 -lidbfs.js
  "-sEXPORTED_RUNTIME_METHODS=['FS']"
  --pre-js ${STARMOAT_WEB_PAGE_JS}
  "SHELL:--preload-file ${STARMOAT_GAME_DIR}/Data@/game/Data"
  "SHELL:--preload-file ${STARMOAT_GAME_DIR}/sound@/game/sound"
  "SHELL:--preload-file ${STARMOAT_GAME_DIR}/fonts@/game/fonts")
if(STARMOAT_WEB_ASYNCIFY)
  list(APPEND STARMOAT_WEB_LINK_OPTIONS -sASYNCIFY=1 -sASYNCIFY_STACK_SIZE=1048576)
endif()
target_link_options(starmoat PRIVATE ${STARMOAT_WEB_LINK_OPTIONS})

# The page and, beside each file worth it, a gzip copy the server sends to browsers that take it.
add_custom_command(TARGET starmoat POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/packaging/web/index.html
    ${STARMOAT_WEB_DIR}/index.html
  COMMAND gzip -9 -n -k -f starmoat.js starmoat.wasm starmoat.data index.html
  WORKING_DIRECTORY ${STARMOAT_WEB_DIR}
  VERBATIM)
