# The Windows game (included by the top-level CMakeLists.txt for a Windows build): a GUI program
# (no console window) entered through SDL's WinMain, with the icon and version in its resources.
# Beside it in the game folder go the DLLs and the fonts, so that it runs from there as it
# does unzipped.
set_target_properties(starmoat PROPERTIES WIN32_EXECUTABLE ON)
target_link_libraries(starmoat PRIVATE SDL2::SDL2main)

set(STARMOAT_WINDOWS_ICON ${STARMOAT_ASSET_DIR}/icons/starmoat.ico)
configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/starmoat.rc.in
  ${CMAKE_BINARY_DIR}/starmoat.rc @ONLY)
target_sources(starmoat PRIVATE ${CMAKE_BINARY_DIR}/starmoat.rc)
set_source_files_properties(${CMAKE_BINARY_DIR}/starmoat.rc PROPERTIES
  OBJECT_DEPENDS ${STARMOAT_WINDOWS_ICON})

# The three faces the game draws with (fontconfig finds them on Linux; Windows has none of
# them): the labels (Play), the text entry box and options page (URW's Nimbus Mono PS) and the
# fallback (DejaVu Sans), each bold, from the Debian packages the Linux build finds them in.
set(STARMOAT_WINDOWS_FONTS
  /usr/share/fonts/truetype/play/Play-Bold.ttf
  /usr/share/fonts/opentype/urw-base35/NimbusMonoPS-Bold.otf
  /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf)
set(STARMOAT_WINDOWS_FONT_LICENCES
  /usr/share/doc/fonts-play/copyright
  /usr/share/doc/fonts-urw-base35/copyright
  /usr/share/doc/fonts-dejavu-core/copyright)
file(COPY ${STARMOAT_WINDOWS_FONTS} DESTINATION ${STARMOAT_GAME_DIR}/fonts)

# Every DLL the libraries' folders hold, and the compiler's runtime (C++ library, unwinder,
# threads). tests/windows/dll_imports.sh checks that the game imports nothing else.
set(STARMOAT_RUNTIME_DLLS "")
foreach(prefix IN LISTS STARMOAT_TARGET_LIB_PREFIXES)
  file(GLOB dlls ${prefix}/bin/*.dll)
  list(APPEND STARMOAT_RUNTIME_DLLS ${dlls})
endforeach()
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
    message(FATAL_ERROR "the compiler does not know where its ${dll} is")
  endif()
  list(APPEND STARMOAT_RUNTIME_DLLS ${path})
endforeach()
file(COPY ${STARMOAT_RUNTIME_DLLS} DESTINATION ${STARMOAT_GAME_DIR})
