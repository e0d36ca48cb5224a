// check's findings about which entries can be heard: an entry that answers
// every input and what it starves, and patterns repeated within a tier.
#ifndef PARLEVO_APP_CHECK_STARVATION_H_
#define PARLEVO_APP_CHECK_STARVATION_H_

#include <vector>

#include "app/check.h"

namespace parlevo {

class TCharacter;

// A warning at every entry that answers every input and starves others,
// naming what it starves (check_starvation.cpp).
void CheckStarvation(const TCharacter& character, std::vector<TFinding>& findings);

// A note at every entry of a reusable object whose patterns an earlier entry
// of its tier repeats, naming the earlier one (check_repeats.cpp).
void CheckRepeatedPatterns(const TCharacter& character, std::vector<TFinding>& findings);

}  // namespace parlevo

#endif  // PARLEVO_APP_CHECK_STARVATION_H_
