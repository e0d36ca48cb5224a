// What the window tells the user as a conversation starts, from the base
// files alone: characters that cannot save what they remember (a read-only
// folder) and data files that are skipped, with why.
#ifndef PARLEVO_APP_GUI_START_NOTICES_H_
#define PARLEVO_APP_GUI_START_NOTICES_H_

#include <QStringList>
#include <string>
#include <vector>

namespace parlevo::gui {

// One paragraph per finding, in Japanese, naming the character and the
// path; none when all is well. Files that are not base files are left to
// loading, which refuses them.
QStringList StartNotices(const std::vector<std::string>& base_files);

}  // namespace parlevo::gui

#endif  // PARLEVO_APP_GUI_START_NOTICES_H_
