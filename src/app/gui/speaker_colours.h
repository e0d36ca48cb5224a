// The colour of each speaker's lines in the transcript: eight hues, a dark
// and a light version of each, so lines stay readable on light and dark
// backgrounds alike.
#ifndef PARLEVO_APP_GUI_SPEAKER_COLOURS_H_
#define PARLEVO_APP_GUI_SPEAKER_COLOURS_H_

#include <QColor>

namespace parlevo::gui {

inline constexpr int kSpeakerColours = 8;  // a group has at most eight

// The colour of speaker `speaker` (0 opens; the same speaker always gets the
// same colour) on `background`. A watcher's line (speaker < 0) keeps the
// text colour, returned as an invalid QColor.
QColor SpeakerColour(int speaker, const QColor& background);

// The contrast of two colours as readers' guidelines measure it, from 1
// (none) to 21 (black on white).
double ContrastRatio(const QColor& a, const QColor& b);

}  // namespace parlevo::gui

#endif  // PARLEVO_APP_GUI_SPEAKER_COLOURS_H_
