# The unit and scenario tests built for Windows (included by tests/CMakeLists.txt), run through
# Wine: the toolchain names it as CMAKE_CROSSCOMPILING_EMULATOR. Left out, and why:
#  - server/: the world score server is a program of Linux servers;
#  - quit_signals_test, sdl_shell_test, sdl_font_locator_test: POSIX signals, xdg-open and
#    fontconfig; their Windows counterparts are tested in platform/windows/;
#  - sdl_http_client_test, score_server_test: their local servers are cpp-httplib (a library of
#    the build machine) and POSIX sockets. The Windows client is the same libcurl code as
#    Linux's, built against Schannel; no test here sends it to a server.
#  - sdl_mix_headroom_test: it reads the mixer's output as it is made through a POSIX FIFO and
#    measures it with libebur128, a library of the build machine; the mix is SDL_mixer's own
#    arithmetic, the same on both systems.
list(FILTER STARMOAT_TEST_SOURCES EXCLUDE REGEX ".*/server/.*")
list(FILTER STARMOAT_TEST_SOURCES EXCLUDE REGEX
  ".*/(quit_signals|sdl_shell|sdl_font_locator|sdl_http_client|score_server|sdl_mix_headroom)_test\\.cpp$")

add_executable(starmoat_tests ${STARMOAT_TEST_SOURCES})
target_include_directories(starmoat_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
# The few POSIX calls the tests make to set up (setenv, mkdtemp), done the Windows way.
target_compile_options(starmoat_tests PRIVATE ${STARMOAT_WARNINGS}
  -include ${CMAKE_CURRENT_SOURCE_DIR}/windows/posix_shims.h)
target_compile_definitions(starmoat_tests PRIVATE
  STARMOAT_GAME_DIR="${STARMOAT_GAME_DIR}" STARMOAT_ASSET_DIR="${STARMOAT_ASSET_DIR}")
target_link_libraries(starmoat_tests PRIVATE ${STARMOAT_APP_LIB} GTest::gtest GTest::gmock
  GTest::gtest_main)
add_dependencies(starmoat_tests starmoat_assets)
file(COPY ${STARMOAT_RUNTIME_DLLS} DESTINATION ${CMAKE_CURRENT_BINARY_DIR})

# Each Wine process costs a second or more to start, so the tests run in two processes (one
# per core) rather than one each: GoogleTest's own sharding splits them.
foreach(shard 0 1)
  add_test(NAME windows_unit_${shard} COMMAND starmoat_tests)
  set_tests_properties(windows_unit_${shard} PROPERTIES LABELS "unit;windows" TIMEOUT 1800
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    ENVIRONMENT "GTEST_TOTAL_SHARDS=2;GTEST_SHARD_INDEX=${shard}")
endforeach()

# The packages and the game's real window under Wine, after tools/windows/package.sh has put the
# zip and the setup program in packages/. The Linux build's game folder (beside the asset
# generator this build runs) gives the pictures and the settings file to compare with.
get_filename_component(STARMOAT_HOST_BUILD "${STARMOAT_HOST_PACKGEN}/../../.." ABSOLUTE)
add_test(NAME windows_zip_game COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/windows/zip_game.sh
  ${CMAKE_BINARY_DIR}/packages ${STARMOAT_HOST_BUILD}/game)
add_test(NAME windows_installer COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/windows/installer.sh
  ${CMAKE_BINARY_DIR}/packages)
set_tests_properties(windows_zip_game windows_installer PROPERTIES LABELS "e2e;windows"
  RUN_SERIAL TRUE TIMEOUT 900)

# Replays recorded by the Linux build play the same game here, and the other way round: the
# Linux build's replay_fingerprints (in the build folder beside the asset generator) and ours.
add_test(NAME windows_replay_determinism
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/windows/replay_determinism.sh
    ${STARMOAT_HOST_BUILD}/tests/replay_fingerprints $<TARGET_FILE:replay_fingerprints>)
set_tests_properties(windows_replay_determinism PROPERTIES LABELS "replay;windows" TIMEOUT 900)

# The boss key, the world-table link and the score submission of the zip's game, against the
# Linux build's world score server; window_probe tells the tests what Windows thinks of the
# game's window.
add_executable(window_probe windows/window_probe.cpp)
target_compile_options(window_probe PRIVATE ${STARMOAT_WARNINGS})
add_test(NAME windows_zip_services COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/windows/zip_services.sh
  ${CMAKE_BINARY_DIR}/packages ${STARMOAT_HOST_BUILD}/server/starmoat-scores
  $<TARGET_FILE:window_probe>)
set_tests_properties(windows_zip_services PROPERTIES LABELS "e2e;windows" RUN_SERIAL TRUE
  TIMEOUT 900)

# The zip's game played with a pad alone, through SDL's virtual pad in the Windows build of the
# virtual-pad program (tests/CMakeLists.txt), as the Linux pad test plays it.
add_test(NAME windows_zip_pad COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/windows/zip_pad.sh
  ${CMAKE_BINARY_DIR}/packages $<TARGET_FILE:starmoat_virtual_pad>)
set_tests_properties(windows_zip_pad PROPERTIES LABELS "e2e;windows" RUN_SERIAL TRUE
  TIMEOUT 900)
