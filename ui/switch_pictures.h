#pragma once
// The on and off pictures of the three simple/advanced switches, drawn here rather than shipped.

#include <QPixmap>

namespace vesk {

inline constexpr int kSwitchPictureWidth = 44;
inline constexpr int kSwitchPictureHeight = 22;

// A rounded track with a knob: on is green with the knob at the right, off grey with it left.
QPixmap drawSwitchPicture(bool on);

} // namespace vesk
