#pragma once

#include <cstddef>
#include <ostream>
#include <span>

// Figures the XML benchmarks keep as they run, so that the ratios the goals
// are stated in come out of the same run, as one table at its end.
namespace xmlfigures {

enum class Figure { ParseMBps, HeapBytesPerElement, WalkSeconds, DestroyPerParse };

// Keeps the latest value: the benchmark's final run overwrites its trial runs.
void record(Figure figure, const char* library, size_t size, double value);

// The figures by library and size, then XPxml's ratios with goal and verdict.
// Cells of benchmarks that did not run stay empty.
void printGoals(std::ostream& out, std::span<const size_t> sizes);

} // namespace xmlfigures
