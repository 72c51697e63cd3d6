#include "editor/curve_math.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace zentrik {

namespace {

constexpr int kLast = kPercentPoints - 1;

double Weight(int distance) {
    return std::pow(4.0, -distance);
}

}  // namespace

std::uint8_t SmoothPoint(const Curve& p, int i, int anchor) {
    const auto at = [&p](int k) { return static_cast<double>(p[static_cast<std::size_t>(k)]); };
    double v = 0.0;
    if (i == 0) {
        const double w = Weight(anchor - 1);
        v = (at(0) + w * at(1)) / (1.0 + w);
    } else if (i == kLast) {
        const double w = Weight(kLast - anchor);
        v = (at(kLast) + w * at(kLast - 1)) / (1.0 + w);
    } else {
        const double wL = Weight(std::abs(i - 1 - anchor));
        const double wR = Weight(std::abs(i + 1 - anchor));
        v = (at(i) + wL * at(i - 1) + wR * at(i + 1)) / (1.0 + wL + wR);
    }
    return static_cast<std::uint8_t>(std::trunc(v + 0.5));
}

void SmoothAround(Curve& p, int anchor) {
    for (int i = anchor + 1; i <= kLast; ++i) {
        p[static_cast<std::size_t>(i)] = SmoothPoint(p, i, anchor);
    }
    for (int i = anchor - 1; i >= 0; --i) {
        p[static_cast<std::size_t>(i)] = SmoothPoint(p, i, anchor);
    }
}

void SmoothPoints(Curve& p) {
    for (std::size_t i = 1; i < kLast; ++i) {
        const int sum = p[i - 1] + p[i] + p[i + 1];
        p[i] = static_cast<std::uint8_t>(std::trunc(sum * static_cast<double>(kOneThird)));
    }
}

void ResetToStraightLine(Curve& p) {
    const int first = p[0];
    const int rise = p[kLast] - first;
    for (int i = 1; i < kLast; ++i) {
        const double offset = rise * i * static_cast<double>(kOneNineteenth);
        const double rounded = std::trunc(offset + (offset < 0 ? -0.5 : 0.5));
        p[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(first + rounded);
    }
}

void InterpolatePoints(Curve& p, int first, int last) {
    if (first > last) {
        std::swap(first, last);
    }
    first = std::max(first, 0);
    last = std::min(last, kLast);
    const int span = last - first;
    if (span < 2) {
        return;
    }
    const int start = p[static_cast<std::size_t>(first)];
    const int rise = p[static_cast<std::size_t>(last)] - start;
    for (int i = first + 1; i < last; ++i) {
        // rise x (i - first) / span in whole numbers, so that a half is a half exactly.
        const int twice = 2 * std::abs(rise * (i - first)) + span;
        const int offset = twice / (2 * span);
        p[static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(start + (rise < 0 ? -offset : offset));
    }
}

namespace {

// A value in 0..100 as a percent field keeps it: truncated toward zero. The computation may
// land a hair below a whole number it means (20 x 1.15 = 22.999...), which must not cost it
// the whole point.
std::uint8_t PercentPoint(double value) {
    constexpr double kSlack = 1e-9;
    if (!(value > 0)) {
        return 0;
    }
    return static_cast<std::uint8_t>(std::min(100.0, std::trunc(value + kSlack)));
}

}  // namespace

std::uint8_t ScaledPercent(std::uint8_t value, double factor) {
    return PercentPoint(value * factor / 100.0);
}

std::uint8_t ShiftedPercent(std::uint8_t value, double amount) {
    return PercentPoint(value + amount);
}

std::vector<double> VerticalGridValues(double xStart, double xEnd) {
    std::vector<double> values;
    const double span = xEnd - xStart;
    if (!std::isfinite(span) || span <= 0) {
        return values;
    }
    double step = 0.1;
    if (span >= 10) {
        step = std::round(span * 0.1);
    } else if (span >= 1) {
        step = 1.0;
    }
    for (double v = xStart + step; v < xEnd; v += step) {
        values.push_back(v);
    }
    return values;
}

}  // namespace zentrik
