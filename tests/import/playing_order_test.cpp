// The order a score's measures are played in: endings and jumps written
// out, plain repeats kept, every jump taken once.
#include "import/playing_order.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// One measure's marks in short: "|:" opens a section, ":|" closes it (":|3"
// for three plays, ":|j" also after a jump), "[1,2" starts an ending and "]"
// ends one, "S" segno, "C" coda, "c" a coda sign alone, "TC" to coda, "DC",
// "DS", "F" fine and "alFine" for a jump that says where it goes on to.
MeasureMarks marksOf(const std::string& text)
{
    MeasureMarks marks;
    std::istringstream words(text);
    for (std::string w; words >> w;) {
        if (w == "|:")
            marks.repeatForward = true;
        else if (w.rfind(":|", 0) == 0) {
            marks.repeatBackward = true;
            marks.afterJump = w.find('j') != std::string::npos;
            if (w.size() > 2 && std::isdigit(static_cast<unsigned char>(w[2])))
                marks.times = w[2] - '0';
        } else if (w[0] == '[') {
            for (size_t i = 1; i < w.size(); i += 2)
                marks.ending.push_back(w[i] - '0');
        } else if (w == "]")
            marks.endingStop = true;
        else if (w == "S")
            marks.segno = true;
        else if (w == "C")
            marks.coda = true;
        else if (w == "c")
            marks.codaSign = true;
        else if (w == "TC")
            marks.toCoda = true;
        else if (w == "DC")
            marks.daCapo = true;
        else if (w == "DS")
            marks.dalSegno = true;
        else if (w == "F")
            marks.fine = true;
        else if (w == "alFine")
            marks.alFine = true;
    }
    return marks;
}

// "|:1 2:| 3(1.)": measures from 1, kept sections, labels.
std::string describe(const std::vector<PlayedMeasure>& order)
{
    std::string out;
    for (const PlayedMeasure& m : order) {
        out += out.empty() ? "" : " ";
        out += (m.open ? "|:" : "") + std::to_string(m.measure + 1);
        if (m.close)
            out += ":|" + (m.times != 2 ? std::to_string(m.times) : "");
        if (!m.label.empty())
            out += "(" + m.label + ")";
    }
    return out;
}

TEST(PlayingOrder, Shapes)
{
    const struct {
        const char* rule;
        std::vector<std::string> measures;
        const char* order;
    } rows[] = {
        {"a plain repeat stays a repeat", {"|:", "", ":|3"}, "|:1 2 3:|3"},
        {"first and second endings", {"", "[1 ] :|", "[2 ]"}, "1 2(1.) 1 3(2.)"},
        {"a section opening inside", {"", "|:", "[1 :|", "[2 ]", ""}, "1 2 3(1.) 2 4(2.) 5"},
        {"an ending for two passes", {"|:", "[1,2 :|3", "[3 ]"}, "1 2(1, 2.) 1 2(1, 2.) 1 3(3.)"},
        {"a first ending alone", {"", "[1 :|", ""}, "1 2(1.) 1 3"},
        {"D.C. al Fine", {"", "F", "DC"}, "1 2 3 1(D.C.) 2"},
        {"D.S. al Coda", {"", "S", "TC", "DS", "C"}, "1 2 3 4 2(D.S.) 3 5(Coda)"},
        {"coda signs alone: the way out, then the coda", {"", "c", "DC", "c"}, "1 2 3 1(D.C.) 2 4(Coda)"},
        {"no repeats after a jump", {"|:", ":|", "DC"}, "|:1 2:| 3 1(D.C.) 2 3"},
        {"the last ending after a jump", {"", "[1 :|", "[2 ]", "DC"}, "1 2(1.) 1 3(2.) 4 1(D.C.) 3(2.) 4"},
        {"a repeat the score takes after the jump", {"|:", ":|j", "DC"}, "|:1 2:| 3 |:1(D.C.) 2:| 3"},
        {"a second section opens after the first", {":|", "", ":|"}, "1:| |:2 3:|"},
        {"an ending with no stop is one measure", {"", "[1 :|", "[2", "|:", ":|"}, "1 2(1.) 1 3(2.) |:4 5:|"},
        {"D.C. al Fine passes a to coda", {"", "TC", "F", "DC alFine", "C"}, "1 2 3 4 1(D.C.) 2 3"},
        {"every jump once", {"DC", "DC"}, "1 1(D.C.) 2 1(D.C.) 2"},
    };
    for (const auto& row : rows) {
        std::vector<MeasureMarks> marks;
        for (const std::string& m : row.measures)
            marks.push_back(marksOf(m));
        EXPECT_EQ(describe(playingOrder(marks)), row.order) << row.rule;
    }
}

// However the marks are set, the order ends, at a few plays of each measure.
TEST(PlayingOrder, EndsOnAnyMarks)
{
    std::vector<MeasureMarks> marks(200, marksOf("|: [1,2,3,4,5,6,7,8,9 :|9 S DS DC TC C F"));
    EXPECT_LE(playingOrder(marks).size(), 8 * marks.size() + 64);
}

} // namespace
