#include "bench/engine/BenchReport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    const std::size_t middle = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + middle, values.end());
    if (values.size() % 2 == 1) return values[middle];
    const double upper = values[middle];
    const double lower = *std::max_element(values.begin(), values.begin() + middle);
    return (lower + upper) / 2;
}

double MeanAbs(const std::vector<double>& values) {
    if (values.empty()) return 0;
    double sum = 0;
    for (double v : values) sum += std::fabs(v);
    return sum / static_cast<double>(values.size());
}

double MaxAbs(const std::vector<double>& values) {
    double result = 0;
    for (double v : values) result = std::max(result, std::fabs(v));
    return result;
}

double Slope(const std::vector<double>& x, const std::vector<double>& y) {
    const std::size_t n = std::min(x.size(), y.size());
    if (n < 2) return 0;
    const double meanX = std::accumulate(x.begin(), x.begin() + n, 0.0) / n;
    const double meanY = std::accumulate(y.begin(), y.begin() + n, 0.0) / n;
    double sxy = 0, sxx = 0;
    for (std::size_t i = 0; i < n; ++i) {
        sxy += (x[i] - meanX) * (y[i] - meanY);
        sxx += (x[i] - meanX) * (x[i] - meanX);
    }
    return sxx > 0 ? sxy / sxx : 0;
}

namespace {

// Three significant figures read well for both 0.004 and 2150.
std::string Number(double value) {
    char text[32];
    if (std::fabs(value) >= 100 || value == std::floor(value))
        std::snprintf(text, sizeof text, "%.0f", value);
    else
        std::snprintf(text, sizeof text, "%.3g", value);
    return text;
}

std::string Verdict(const Figure& f, double ratio) {
    using Kind = Target::Kind;
    const Target& t = f.target;
    if (t.kind == Kind::None) return "";
    const double judged = t.kind == Kind::ValueAtMost ? f.value : ratio;
    const bool met = t.kind == Kind::RatioAtLeast ? judged >= t.bound : judged <= t.bound;
    std::string text = " | target ";
    text += t.kind == Kind::ValueAtMost ? "<= " + Number(t.bound) + " " + f.unit
            : t.kind == Kind::RatioAtLeast ? "ratio >= " + Number(t.bound)
                                           : "ratio <= " + Number(t.bound);
    if (met) return text + ": met";
    if (t.bound == 0) return text + ": MISSED";
    const double shortBy = std::fabs(judged - t.bound) / t.bound * 100;
    return text + ": MISSED by " + Number(shortBy) + "%";
}

} // namespace

std::string FormatFigure(const Figure& f) {
    const double ratio = f.anchor != 0 ? f.value / f.anchor : 0;
    return f.name + ": " + Number(f.value) + " " + f.unit + " | " + f.anchorName + ": " + Number(f.anchor) + " " +
           f.unit + " | ratio " + (f.anchor != 0 ? Number(ratio) : "n/a") + Verdict(f, ratio);
}

void PrintFigure(const Figure& f) {
    std::printf("%s\n", FormatFigure(f).c_str());
    std::fflush(stdout);
}

void PrintUnanchored(const std::string& name, double value, const std::string& unit, const std::string& reason) {
    std::printf("%s: %s %s | %s\n", name.c_str(), Number(value).c_str(), unit.c_str(), reason.c_str());
    std::fflush(stdout);
}

int PrintNotMeasured(const std::string& name, const std::string& reason) {
    std::printf("%s: not measured: %s\n", name.c_str(), reason.c_str());
    std::fflush(stdout);
    return 1;
}
