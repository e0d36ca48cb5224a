// The version both programs print (--version) and the window's about box shows:
// the project's version, with the git description when built from a checkout.
#ifndef PARLEVO_APP_VERSION_H_
#define PARLEVO_APP_VERSION_H_

#include <string_view>

namespace parlevo {

// "0.1.0", or "0.1.0 (DESCRIPTION)" as `git describe --always --dirty --tags`
// gave it at build time, for instance "0.1.0 (dc40d27-dirty)".
std::string_view VersionText();

}  // namespace parlevo

#endif  // PARLEVO_APP_VERSION_H_
