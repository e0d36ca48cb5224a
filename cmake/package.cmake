# The Debian package (`make package`, CPack): the files of install.cmake under
# /usr, with the dependencies dpkg-shlibdeps computes from the programs, the
# Debian copyright and changelog, and stripped programs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME parlevo)
set(CPACK_PACKAGE_VENDOR "The Parlevo developers")
set(CPACK_PACKAGE_CONTACT "The Parlevo developers <parlevo@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "watch two chatbot characters talk to each other")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Parlevo lets two chatbot characters talk to each other with no human in\n"
  "the loop and keeps a transcript of everything they say. A character is a\n"
  "personality written in plain text files (Shift JIS): knowledge entries\n"
  "pair a condition or regular-expression patterns with answers in a small\n"
  "tag language of dates, memory slots, arithmetic and random choices.\n"
  ".\n"
  "The package holds the desktop program parlevo, the terminal program\n"
  "parlevo-cli (conversations, chat, and checks for personality authors), two\n"
  "sample characters and the personality authors' guide.")
string(REPLACE ";" "" CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_DEBIAN_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)  # "games" would ask for /usr/games
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Japanese glyphs in the window, and Qt's own dialogs in Japanese.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_IGNORE_FILES "/build.*/;/\\\\.git/")

# Debian's own documentation files: the copyright in its machine-readable form,
# and the changelog (gzip -n: no name or time inside, so builds compare).
execute_process(COMMAND date -u -R -d ${PARLEVO_RELEASE_DATE}
                OUTPUT_VARIABLE PARLEVO_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE)
configure_file(packaging/debian/changelog.in ${parlevo_generated}/debian/changelog @ONLY)
add_custom_command(
  OUTPUT ${parlevo_generated}/debian/changelog.gz
  COMMAND bash -c "gzip -9nc changelog > changelog.gz"
  WORKING_DIRECTORY ${parlevo_generated}/debian
  DEPENDS ${parlevo_generated}/debian/changelog
  VERBATIM)
add_custom_target(parlevo_debian_changelog ALL DEPENDS ${parlevo_generated}/debian/changelog.gz)
install(FILES packaging/debian/copyright ${parlevo_generated}/debian/changelog.gz
        DESTINATION ${parlevo_docdir})
# What lintian is told to expect, each with its reason (the Shift JIS samples).
install(FILES packaging/debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME parlevo)

include(CPack)
