// Lines of kinds 0, A and B that hold more fields than their kind uses: an
// unquoted blank or comma ended the answer, and the rest is dropped.
#ifndef PARLEVO_APP_CHECK_FIELDS_H_
#define PARLEVO_APP_CHECK_FIELDS_H_

#include <vector>

#include "app/check.h"

namespace parlevo {

class TCharacter;

// Appends a warning for every such entry of `character`, naming the text
// dropped and fixing the line with the answer quoted.
void CheckExtraFields(const TCharacter& character, std::vector<TFinding>& findings);

}  // namespace parlevo

#endif  // PARLEVO_APP_CHECK_FIELDS_H_
