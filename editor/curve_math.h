#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "config/controller_config.h"

namespace zentrik {

// The 20 percent points of one stage's curve.
using Curve = std::array<std::uint8_t, kPercentPoints>;

// 1/19 and 1/3 as the controller's tool has always computed them (single precision).
inline constexpr float kOneNineteenth = 0.05263158f;
inline constexpr float kOneThird = 0.33333334f;

// Drag smoothing: the new value of point i when the curve follows point `anchor`. Each
// neighbour weighs 4 to the minus its distance from the anchor; the end points weigh their
// single neighbour. Rounded half up (the weighted mean is never negative).
std::uint8_t SmoothPoint(const Curve& p, int i, int anchor);

// Smooths every other point around `anchor`: right of it in ascending order, then left of it
// in descending order, each step seeing the values the earlier steps wrote.
void SmoothAround(Curve& p, int anchor);

// "Smooth Points": each inner point becomes the floor of the mean of itself and its two
// neighbours, in place from left to right (the left neighbour is already smoothed).
void SmoothPoints(Curve& p);

// "Reset to Straight Line": the inner points on the line from point 0 to point 19, rounded to
// the nearest integer.
void ResetToStraightLine(Curve& p);

// The points strictly between `first` and `last` on the straight line from the one to the
// other, rounded to the nearest integer (halves away from zero).
void InterpolatePoints(Curve& p, int first, int last);

// A percent point scaled by `factor` percent, or moved by `amount` percent: truncated toward
// zero and held within 0..100, as a percent field stores what it is given.
std::uint8_t ScaledPercent(std::uint8_t value, double factor);
std::uint8_t ShiftedPercent(std::uint8_t value, double amount);

// The x values of the graph's vertical grid lines over xStart..xEnd, none at xStart itself:
// steps of 0.1 for a span under 1, of 1 under 10, otherwise a tenth of the span rounded to a
// whole number. An empty or reversed span has none.
std::vector<double> VerticalGridValues(double xStart, double xEnd);

}  // namespace zentrik
