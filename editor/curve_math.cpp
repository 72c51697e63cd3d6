#include "editor/curve_math.h"

#include <cmath>
#include <cstdlib>

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
