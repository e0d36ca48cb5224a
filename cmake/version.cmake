# Writes the version header: the project's version, followed by the git
# description when the sources are a git checkout. Run at every build (cmake -P)
# so the description follows new commits; the header is rewritten only when its
# text changes, so an unchanged version rebuilds nothing.
#   cmake -DVERSION=0.1.0 -DSOURCE_DIR=... -DOUTPUT=.../version_text.h -P version.cmake
set(text "${VERSION}")
find_package(Git QUIET)
if(GIT_FOUND AND EXISTS "${SOURCE_DIR}/.git")
  execute_process(COMMAND "${GIT_EXECUTABLE}" -C "${SOURCE_DIR}" describe --always --dirty --tags
                  OUTPUT_VARIABLE description OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE status ERROR_QUIET)
  if(status EQUAL 0 AND description)
    set(text "${VERSION} (${description})")
  endif()
endif()
set(PARLEVO_VERSION_TEXT "${text}")
configure_file("${CMAKE_CURRENT_LIST_DIR}/version_text.h.in" "${OUTPUT}" @ONLY)
