// Lines of kinds 0, A and B that hold more fields than their kind uses: an
// unquoted blank or comma ended the answer, and the rest is dropped.
#ifndef PARLEVO_APP_CHECK_FIELDS_H_
#define PARLEVO_APP_CHECK_FIELDS_H_

#include <optional>
#include <string_view>
#include <vector>

#include "app/check.h"

namespace parlevo {

class TCharacter;
class TWrittenEntries;
struct TCommaField;

// Appends a warning for every such entry of `character`, naming the text
// dropped and, when it was the answer that was cut, fixing the line with the
// answer quoted. `written` reads the lines back (platform::EFileError when
// it cannot).
void CheckExtraFields(const TCharacter& character, TWrittenEntries& written,
                      std::vector<TFinding>& findings);

// The 1-based character column of byte `at` of an ANSI line.
int ColumnAt(std::string_view line, size_t at);
// The column of the first character of a field's text in its line; nothing
// when quoting moved its characters apart (a doubled quote inside).
std::optional<int> FieldColumn(std::string_view line, const TCommaField& field);

}  // namespace parlevo

#endif  // PARLEVO_APP_CHECK_FIELDS_H_
