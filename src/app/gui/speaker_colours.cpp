// Speaker colours: one table of hues, each in a version for light
// backgrounds and one for dark ones.
#include "app/gui/speaker_colours.h"

#include <algorithm>
#include <cmath>

namespace parlevo::gui {
namespace {

struct Hue {
  QRgb on_light;
  QRgb on_dark;
};

// Told apart by hue first, so neighbours in talk order differ most.
constexpr Hue kHues[kSpeakerColours] = {
    {0x1F4FB0, 0x8AB8FF},  // blue
    {0xB0302A, 0xFF9C8F},  // red
    {0x1B7A3E, 0x7FDA9C},  // green
    {0x7B3FA0, 0xD6A8FF},  // purple
    {0x8A5A00, 0xF2C46B},  // amber
    {0x0F6E7A, 0x72D8E2},  // teal
    {0xA8336E, 0xFF9DCB},  // rose
    {0x4F5B66, 0xBAC6D1},  // slate
};

double Linear(double channel) {
  return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& colour) {
  return 0.2126 * Linear(colour.redF()) + 0.7152 * Linear(colour.greenF()) +
         0.0722 * Linear(colour.blueF());
}

}  // namespace

QColor SpeakerColour(int speaker, const QColor& background) {
  if (speaker < 0) return {};
  const Hue& hue = kHues[speaker % kSpeakerColours];
  const bool dark = Luminance(background) < 0.18;
  return QColor::fromRgb(dark ? hue.on_dark : hue.on_light);
}

double ContrastRatio(const QColor& a, const QColor& b) {
  const double first = Luminance(a);
  const double second = Luminance(b);
  return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

}  // namespace parlevo::gui
