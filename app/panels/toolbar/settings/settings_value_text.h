#pragma once

#include <QString>

namespace zentrel {

// The value texts of the feature settings panels' sliders.

// "140 pt": the integer part, truncated toward zero.
QString pointsText(double value);

// "70%" for 0.7, with no fraction digits, in the current locale's digits and per-cent sign.
QString percentText(double fraction);

} // namespace zentrel
