# What `cmake --install` puts where (GNU layout under the prefix), and the
# files generated for it: manual pages, the AppStream entry, the Debian
# changelog. The programs find their shipped files relative to their own folder
# (platform/shipped_files.cpp), so the layout here is passed to that file.
include(GNUInstallDirs)

set(PARLEVO_APP_ID org.parlevo.Parlevo)  # names the desktop entry, the icon and the AppStream entry
if(TARGET parlevo)
  target_compile_definitions(parlevo PRIVATE PARLEVO_APP_ID="${PARLEVO_APP_ID}")
endif()
set(parlevo_datadir ${CMAKE_INSTALL_DATADIR}/parlevo)
set(parlevo_docdir ${CMAKE_INSTALL_DATAROOTDIR}/doc/parlevo)
set(parlevo_generated ${CMAKE_CURRENT_BINARY_DIR}/generated)

# The shipped folders as seen from the program's folder ("../share/parlevo").
file(RELATIVE_PATH bin_to_data /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${parlevo_datadir})
file(RELATIVE_PATH bin_to_docs /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${parlevo_docdir})
set_source_files_properties(src/platform/shipped_files.cpp PROPERTIES COMPILE_DEFINITIONS
  "PARLEVO_BIN_TO_DATA=\"${bin_to_data}\";PARLEVO_BIN_TO_DOCS=\"${bin_to_docs}\"")

# Programs
install(TARGETS parlevo-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET parlevo)
  install(TARGETS parlevo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# The samples (never their state files: those belong to each user's copy)
install(DIRECTORY examples DESTINATION ${parlevo_datadir}
        PATTERN "*.lts" EXCLUDE PATTERN "*.lts.tmp*" EXCLUDE)

# Documentation: the guides, the README, the license
file(GLOB parlevo_guides CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/docs/authoring*.md)
install(FILES ${parlevo_guides} docs/editor-neovim.png README.md LICENSE DESTINATION ${parlevo_docdir})

# Desktop entry, icons, AppStream entry
install(FILES packaging/${PARLEVO_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/icons/parlevo.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${PARLEVO_APP_ID}.svg)
foreach(size 16 24 32 48 64 128 256)
  install(FILES packaging/icons/parlevo-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${PARLEVO_APP_ID}.png)
endforeach()
configure_file(packaging/${PARLEVO_APP_ID}.metainfo.xml.in
               ${parlevo_generated}/${PARLEVO_APP_ID}.metainfo.xml @ONLY)
install(FILES ${parlevo_generated}/${PARLEVO_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Editor packages: the VS Code extension's sources and the Vim/Neovim files
# (never what `make vsix` fetched or built)
install(DIRECTORY editors DESTINATION ${parlevo_datadir}
        PATTERN "node_modules" EXCLUDE PATTERN "*.vsix" EXCLUDE PATTERN "package-lock.json" EXCLUDE)

# Bash completion (asks parlevo-cli itself for its commands and options)
install(FILES packaging/bash-completion/parlevo-cli
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

# Manual pages, written at build time from each program's --help (help2man),
# so they always name every command and option the programs have.
find_program(HELP2MAN help2man)
find_program(GZIP gzip)  # -n: no name or time inside, so builds compare
function(parlevo_manual_page program)
  set(page ${parlevo_generated}/man/${program}.1)
  add_custom_command(
    OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            bash ${CMAKE_CURRENT_SOURCE_DIR}/packaging/man/manual_page.sh
            $<TARGET_FILE:${program}> ${CMAKE_CURRENT_SOURCE_DIR}/packaging/man/${program}.h2m ${page}
    COMMAND bash -c "gzip -9nc ${program}.1 > ${program}.1.gz"
    WORKING_DIRECTORY ${parlevo_generated}/man
    DEPENDS ${program} packaging/man/manual_page.sh packaging/man/${program}.h2m
    COMMENT "Manual page ${program}(1)"
    VERBATIM)
  add_custom_target(${program}_manual_page ALL DEPENDS ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
if(HELP2MAN AND GZIP AND NOT CMAKE_CROSSCOMPILING)
  file(MAKE_DIRECTORY ${parlevo_generated}/man)
  parlevo_manual_page(parlevo-cli)
  if(TARGET parlevo)
    parlevo_manual_page(parlevo)
  endif()
endif()
