#include "xml_figures.h"

#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <tuple>

namespace xmlfigures {
namespace {

using Key = std::tuple<Figure, std::string, size_t>;

std::map<Key, double>& figures()
{
    static std::map<Key, double> kept;
    return kept;
}

std::optional<double> figure(Figure which, const std::string& library, size_t size)
{
    const auto found = figures().find({which, library, size});
    if (found == figures().end())
        return std::nullopt;
    return found->second;
}

// A goal on XPxml's figure divided by a reference library's (or taken as it
// is, when the figure is a ratio already).
struct Goal {
    const char* label;
    Figure figure;
    const char* reference; // nullptr: the figure itself
    bool atLeast;          // the ratio must reach the goal, not stay under it
    double goal;
    double defect; // worse than this is a defect; 0 when there is no such line
};

constexpr Goal kGoals[] = {
    {"parse MB/s XPxml/pugixml", Figure::ParseMBps, "pugixml", true, 0.9, 0},
    {"parse MB/s XPxml/tinyxml2", Figure::ParseMBps, "tinyxml2", true, 1.0, 1.0},
    {"heap B/element XPxml/pugixml", Figure::HeapBytesPerElement, "pugixml", false, 1.2, 3.0},
    {"walk time XPxml/pugixml", Figure::WalkSeconds, "pugixml", false, 2.0, 0},
    {"destroy/parse time XPxml", Figure::DestroyPerParse, nullptr, false, 0.5, 0},
};

const char* verdict(double ratio, bool atLeast, double goal, double defect)
{
    const bool met = atLeast ? ratio >= goal : ratio <= goal;
    if (met)
        return "ok";
    if (defect > 0 && (atLeast ? ratio < defect : ratio > defect))
        return "DEFECT";
    return "missed";
}

void printCell(std::ostream& out, std::optional<double> ratio, const char* judged)
{
    char cell[32] = "        -      ";
    if (ratio)
        std::snprintf(cell, sizeof cell, "%9.2f %-6s", *ratio, judged);
    out << cell;
}

void printFigures(std::ostream& out, std::span<const size_t> sizes)
{
    out << "\nlibrary   children  parse MB/s  heap B/element  walk ms  destroy/parse\n";
    for (const char* library : {"XPxml", "pugixml", "tinyxml2"}) {
        for (size_t size : sizes) {
            if (!figure(Figure::ParseMBps, library, size) && !figure(Figure::HeapBytesPerElement, library, size) &&
                !figure(Figure::WalkSeconds, library, size))
                continue;
            char line[128];
            auto at = [&](Figure which, double scale) { return figure(which, library, size).value_or(0) * scale; };
            std::snprintf(line, sizeof line, "%-9s %8zu  %10.1f  %14.1f  %7.3f  %13.3f\n", library, size,
                          at(Figure::ParseMBps, 1), at(Figure::HeapBytesPerElement, 1),
                          at(Figure::WalkSeconds, 1e3), at(Figure::DestroyPerParse, 1));
            out << line;
        }
    }
}

} // namespace

void record(Figure which, const char* library, size_t size, double value)
{
    figures()[{which, library, size}] = value;
}

void printGoals(std::ostream& out, std::span<const size_t> sizes)
{
    if (figures().empty())
        return;
    printFigures(out, sizes);

    char head[64];
    out << "\nratio                          goal  ";
    for (size_t size : sizes) {
        std::snprintf(head, sizeof head, "%9zu       ", size);
        out << head;
    }
    out << '\n';
    for (const Goal& goal : kGoals) {
        std::snprintf(head, sizeof head, "%-28s %s %4.1f  ", goal.label, goal.atLeast ? ">=" : "<=", goal.goal);
        out << head;
        for (size_t size : sizes) {
            std::optional<double> ratio = figure(goal.figure, "XPxml", size);
            if (goal.reference) {
                const std::optional<double> reference = figure(goal.figure, goal.reference, size);
                ratio = (ratio && reference && *reference > 0) ? std::optional(*ratio / *reference) : std::nullopt;
            }
            printCell(out, ratio, ratio ? verdict(*ratio, goal.atLeast, goal.goal, goal.defect) : "");
        }
        out << '\n';
    }

    // Linear walking: each size step may cost at most 1.2 times the step in time.
    const double step = sizes.size() > 1 ? double(sizes[1]) / double(sizes[0]) : 1;
    std::snprintf(head, sizeof head, "%-28s %s %4.1f  ", "walk time XPxml/size before", "<=", 1.2 * step);
    out << head;
    for (size_t i = 0; i < sizes.size(); ++i) {
        std::optional<double> ratio;
        double limit = 0;
        if (i > 0) {
            const auto now = figure(Figure::WalkSeconds, "XPxml", sizes[i]);
            const auto before = figure(Figure::WalkSeconds, "XPxml", sizes[i - 1]);
            limit = 1.2 * double(sizes[i]) / double(sizes[i - 1]);
            if (now && before && *before > 0)
                ratio = *now / *before;
        }
        printCell(out, ratio, ratio ? verdict(*ratio, false, limit, 0) : "");
    }
    out << '\n';
}

} // namespace xmlfigures
