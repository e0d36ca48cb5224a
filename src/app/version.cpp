// The version text, from the header the build writes (cmake/version.cmake);
// only this file includes it, so a new commit recompiles one file.
#include "app/version.h"

#include "version_text.h"

namespace parlevo {

std::string_view VersionText() { return PARLEVO_VERSION_TEXT; }

}  // namespace parlevo
