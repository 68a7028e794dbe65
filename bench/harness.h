// A small benchmark harness: wall-clock times from the performance counter,
// medians over repeated runs, and the rows that scripts/bench.sh gathers
// into its table.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

inline double NowMs()
{
    static const double perMs = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / perMs;
}

template <typename Fn>
double TimeMs(Fn&& fn)
{
    const double start = NowMs();
    fn();
    return NowMs() - start;
}

inline double Median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    const size_t n = times.size();
    return n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
}

// Runs the two ways alternately, `rounds` times each (ours `oursPerRound`
// times per round, for its shorter runs), so that a burst of load from
// elsewhere falls on both; gives the medians.
struct Pair {
    double straight;
    double ours;
};

template <typename Straight, typename Ours>
Pair MeasurePair(int rounds, int oursPerRound, Straight&& straight, Ours&& ours)
{
    std::vector<double> s, o;
    for (int r = 0; r < rounds; ++r) {
        s.push_back(TimeMs(straight));
        for (int k = 0; k < oursPerRound; ++k) o.push_back(TimeMs(ours));
    }
    return Pair{Median(s), Median(o)};
}

inline std::string Ms(double ms)
{
    char text[32];
    snprintf(text, sizeof text, ms < 10 ? "%.2f ms" : "%.1f ms", ms);
    return text;
}

// One row of the table: case | straightforward | ours | ratio | note.
inline void Row(const std::string& name, const std::string& straight, const std::string& ours,
                const std::string& ratio, const std::string& note)
{
    printf("ROW|%s|%s|%s|%s|%s\n", name.c_str(), straight.c_str(), ours.c_str(), ratio.c_str(), note.c_str());
    fflush(stdout);
}

inline std::string Ratio(double straight, double ours)
{
    char text[32];
    snprintf(text, sizeof text, "%.1fx", straight / ours);
    return text;
}
