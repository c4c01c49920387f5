// The one output format of every benchmark: a figure, the anchor it is judged against (measured in
// the same run wherever a reference tool exists), their ratio and whether the target is met.
#pragma once

#include <string>
#include <vector>

double Median(std::vector<double> values);
double MeanAbs(const std::vector<double>& values);
double MaxAbs(const std::vector<double>& values);
// Least-squares slope of y over x; 0 with fewer than two distinct x.
double Slope(const std::vector<double>& x, const std::vector<double>& y);

// How a figure is judged. The bound applies to the ratio figure/anchor, or to the figure itself.
struct Target {
    enum class Kind { None, RatioAtLeast, RatioAtMost, ValueAtMost } kind = Kind::None;
    double bound = 0;

    static Target RatioAtLeast(double bound) { return {Kind::RatioAtLeast, bound}; }
    static Target RatioAtMost(double bound) { return {Kind::RatioAtMost, bound}; }
    static Target ValueAtMost(double bound) { return {Kind::ValueAtMost, bound}; }
};

struct Figure {
    std::string name;   // what was measured, e.g. "decode+convert 1080p30 BGRA"
    double value = 0;
    std::string unit;   // "fps", "ms", "MB", ...
    std::string anchorName;
    double anchor = 0;  // in the same unit as value
    Target target;
};

// "name: value unit | anchorName: anchor unit | ratio r | target ...: met / MISSED by n%"
std::string FormatFigure(const Figure& figure);
void PrintFigure(const Figure& figure);
// A figure whose anchor could not be measured: "name: value unit | reason".
void PrintUnanchored(const std::string& name, double value, const std::string& unit, const std::string& reason);
// A benchmark that could not run at all: "name: not measured: reason". Returns the exit code to use.
int PrintNotMeasured(const std::string& name, const std::string& reason);
