#pragma once

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

// The benchmarks' common output: every figure is printed beside its floor,
// measured in the same run, with their ratio and the goal, as one "ROW" line
// that bench/run-all.sh gathers into one table.
namespace orvane::bench {

struct FigureRow {
    std::string figure; // what was measured
    std::string value;  // the figure, with its unit
    std::string floor;  // what it is compared with, with the floor's value
    double ratio = 0;   // figure / floor
    std::string goal;   // "-" for a figure without one
    bool met = false;
};

inline void printRow(const FigureRow &row)
{
    std::printf("ROW\t%s\t%s\t%s\t%.2f\t%s\t%s\n", row.figure.c_str(), row.value.c_str(),
                row.floor.c_str(), row.ratio, row.goal.c_str(),
                row.goal == "-" ? "-"
                : row.met       ? "met"
                                : "NOT MET");
    std::fflush(stdout);
}

inline double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

[[gnu::format(printf, 1, 2)]] inline std::string format(const char *pattern, ...)
{
    char text[128];
    va_list values;
    va_start(values, pattern);
    std::vsnprintf(text, sizeof text, pattern, values);
    va_end(values);
    return text;
}

// A field of /proc/<pid>/status such as "VmRSS" or "VmHWM", in kB; -1 when absent.
inline long statusKb(const std::string &pid, const std::string &field)
{
    std::ifstream status("/proc/" + pid + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, field.size() + 1, field + ":") == 0)
            return std::stol(line.substr(field.size() + 1));
    }
    return -1;
}

} // namespace orvane::bench
