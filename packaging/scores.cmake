# The world score server as its own package, starmoat-scores: the executable, a systemd unit
# with a state folder of its own (not enabled or started by the install), and its documents.

# The unit names the executable by its full path, which is known only when installing (cpack
# installs under /usr whatever the build's prefix is): it is written then.
set(STARMOAT_SCORES_UNIT ${CMAKE_CURRENT_BINARY_DIR}/starmoat-scores.service)
install(CODE "
  set(STARMOAT_SCORES_EXE \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/starmoat-scores\")
  set(STARMOAT_SCORES_DOC \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATAROOTDIR}/doc/starmoat-scores\")
  configure_file(\"${CMAKE_CURRENT_SOURCE_DIR}/starmoat-scores.service.in\"
    \"${STARMOAT_SCORES_UNIT}\" @ONLY)
  " COMPONENT scores)

install(TARGETS starmoat-scores RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT scores)
install(FILES ${STARMOAT_SCORES_UNIT} DESTINATION lib/systemd/system COMPONENT scores)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/starmoat-scores.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT scores)
install(FILES copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/starmoat-scores COMPONENT scores)
install(FILES starmoat-scores.README
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/starmoat-scores RENAME README COMPONENT scores)
