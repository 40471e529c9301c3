#include "import/musicxml_reader.h"

#include "import/character_references.h"
#include "import/playing_order.h"
#include "xml/xpxml_doc.h"
#include "xml/xpxml_kind.h"
#include "xml/xpxml_node.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

// Positions are kept in quarters and written in ticks of this size.
constexpr int kTicksPerQuarter = 192;
// A duration or position beyond this is not music: it is cut, and the bars
// it would make are refused later.
constexpr double kMaxQuarters = 1e9;
constexpr int kKeys = 128;
// The longest measure a time signature can state (64 beats of whole notes);
// a longer one is no music, and would take more values than memory holds.
constexpr double kLongestMeasure = 64 * 4;


XPxmlNode* child(const XPxmlNode* parent, const char* name)
{
    for (XPxmlNode* c = parent ? parent->firstElementChild() : nullptr; c; c = c->nextElementSibling())
        if (c->hasName(name))
            return c;
    return nullptr;
}

std::string childText(const XPxmlNode* parent, const char* name)
{
    const XPxmlNode* c = child(parent, name);
    return c ? c->textContent() : std::string();
}

double number(const std::string& text, double fallback = 0.0)
{
    const char* begin = text.c_str();
    char* end = nullptr;
    const double value = std::strtod(begin, &end);
    return end != begin && std::isfinite(value) ? value : fallback;
}

double childNumber(const XPxmlNode* parent, const char* name, double fallback = 0.0)
{
    return number(childText(parent, name), fallback);
}

std::string attribute(const XPxmlNode* node, const char* name)
{
    const char* value = node->getAttribute(name);
    return value ? value : "";
}

double clampQuarters(double q) { return std::clamp(q, 0.0, kMaxQuarters); }

int64_t ticks(double quarters) { return int64_t(std::llround(clampQuarters(quarters) * kTicksPerQuarter)); }

// Quarters of a written value ("eighth", two dots, three in the time of two).
double typeQuarters(const XPxmlNode* note)
{
    static constexpr std::pair<const char*, double> kTypes[] = {
        {"maxima", 32}, {"long", 16}, {"breve", 8}, {"whole", 4}, {"half", 2}, {"quarter", 1},
        {"eighth", 0.5}, {"16th", 0.25}, {"32nd", 0.125}, {"64th", 0.0625}, {"128th", 0.03125},
        {"256th", 0.015625},
    };
    const std::string type = childText(note, "type");
    double quarters = 0;
    for (const auto& [name, value] : kTypes)
        if (type == name)
            quarters = value;
    double add = quarters / 2;
    for (XPxmlNode* c = note->firstElementChild(); c; c = c->nextElementSibling())
        if (c->hasName("dot")) {
            quarters += add;
            add /= 2;
        }
    if (const XPxmlNode* modification = child(note, "time-modification")) {
        const double actual = childNumber(modification, "actual-notes", 1);
        const double normal = childNumber(modification, "normal-notes", 1);
        if (actual > 0 && normal > 0)
            quarters = quarters * normal / actual;
    }
    return quarters;
}

int pitchOf(const XPxmlNode* pitch)
{
    static constexpr int kSteps[] = {9, 11, 0, 2, 4, 5, 7}; // A … G
    const std::string step = childText(pitch, "step");
    if (step.size() != 1 || std::toupper(static_cast<unsigned char>(step[0])) < 'A' ||
        std::toupper(static_cast<unsigned char>(step[0])) > 'G')
        return -1;
    const double octave = std::clamp(childNumber(pitch, "octave", 4), -2.0, 12.0);
    const double alter = std::clamp(childNumber(pitch, "alter"), -4.0, 4.0);
    const int key = (int(octave) + 1) * 12 + kSteps[std::toupper(static_cast<unsigned char>(step[0])) - 'A'] +
                    int(std::lround(alter));
    return key >= 0 && key < kKeys ? key : -1;
}

bool inFirstVoice(const XPxmlNode* note)
{
    const std::string voice = childText(note, "voice");
    return voice.empty() || number(voice, 1) == 1;
}

bool hasTie(const XPxmlNode* note, const char* type)
{
    for (XPxmlNode* c = note->firstElementChild(); c; c = c->nextElementSibling())
        if (c->hasName("tie") && attribute(c, "type") == type)
            return true;
    return false;
}

// The first verse: a lyric numbered 1, or the first one when none is numbered.
std::string firstVerse(const XPxmlNode* note)
{
    const XPxmlNode* chosen = nullptr;
    for (XPxmlNode* c = note->firstElementChild(); c; c = c->nextElementSibling()) {
        if (!c->hasName("lyric"))
            continue;
        const std::string number = attribute(c, "number");
        if (number == "1" || (number.empty() && !chosen)) {
            chosen = c;
            if (number == "1")
                break;
        }
    }
    if (!chosen)
        return {};
    std::string text = childText(chosen, "text");
    const std::string syllabic = childText(chosen, "syllabic");
    if (!text.empty() && (syllabic == "begin" || syllabic == "middle"))
        text += '-';
    return text;
}

struct PartInfo {
    std::string name;
    std::string instrument;
    int program = -1;
};

PartInfo partInfo(const XPxmlNode* partList, const std::string& id)
{
    PartInfo info;
    for (XPxmlNode* c = partList ? partList->firstElementChild() : nullptr; c; c = c->nextElementSibling()) {
        if (!c->hasName("score-part") || attribute(c, "id") != id)
            continue;
        info.name = childText(c, "part-name");
        info.instrument = childText(child(c, "score-instrument"), "instrument-name");
        const double program = childNumber(child(c, "midi-instrument"), "midi-program", 0);
        if (program >= 1 && program <= 128)
            info.program = int(program) - 1;
        break;
    }
    return info;
}

// The measure's attributes that last from measure to measure.
struct MeasureState {
    double divisions = 1;
    int transpose = 0; // semitones from the written pitch to the sounding one
    int beats = 4;
    int unit = 4;
};

// True when the attributes state a time signature the tablature can write.
bool applyAttributes(const XPxmlNode* attributes, MeasureState& state)
{
    const double divisions = childNumber(attributes, "divisions", state.divisions);
    if (divisions > 0)
        state.divisions = divisions;
    if (const XPxmlNode* transpose = child(attributes, "transpose"))
        state.transpose = int(std::clamp(childNumber(transpose, "chromatic") + 12 * childNumber(transpose, "octave-change"),
                                         -48.0, 48.0));
    const XPxmlNode* time = child(attributes, "time");
    if (!time)
        return false;
    const int beats = int(std::clamp(childNumber(time, "beats", 0), 0.0, 64.0));
    const int unit = int(std::clamp(childNumber(time, "beat-type", 0), 0.0, 128.0));
    if (beats < 1 || unit < 1 || unit > 64 || (unit & (unit - 1)) != 0)
        return false;
    state.beats = beats;
    state.unit = unit;
    return true;
}

std::vector<const XPxmlNode*> measuresOf(const XPxmlNode* part)
{
    std::vector<const XPxmlNode*> measures;
    for (XPxmlNode* c = part->firstElementChild(); c; c = c->nextElementSibling())
        if (c->hasName("measure"))
            measures.push_back(c);
    return measures;
}

// The tempo a sound states, 0 for none.
double soundTempo(const XPxmlNode* sound)
{
    const double tempo = number(attribute(sound, "tempo"));
    return tempo >= 1 && tempo <= 1000 ? tempo : 0;
}

// One part read measure by measure, in the order they are played.
class PartReading {
public:
    PartReading(ImportedPiece& piece, SourceVoice& voice, bool first) : m_piece(piece), m_voice(voice), m_first(first)
    {
        m_tied.fill(-1);
    }

    // False with problem set when a measure is longer than any can be.
    // tempos: the tempo in force where each measure begins, 0 where unknown.
    bool read(const XPxmlNode* part, const std::vector<PlayedMeasure>& order, const std::vector<double>& tempos,
              std::string& problem)
    {
        const std::vector<const XPxmlNode*> measures = measuresOf(part);
        const std::vector<MeasureState> states = statesOf(measures);
        size_t previous = SIZE_MAX;
        for (const PlayedMeasure& played : order) {
            const size_t index = played.measure;
            if (index != previous + 1)
                jumpTo(index, states, tempos);
            previous = index;
            if (m_first && played.open)
                m_piece.repeats.push_back({ticks(m_measureStart), true, 2});
            if (m_first && !played.label.empty()) {
                m_piece.marks.push_back({ticks(m_measureStart), int(m_piece.lyrics.size())});
                m_piece.lyrics.push_back(played.label);
            }
            if (!readMeasure(index < measures.size() ? measures[index] : nullptr)) {
                problem = "measure " + std::to_string(index + 1) + " of " + m_voice.label +
                          " is longer than 64 whole notes";
                return false;
            }
            if (m_first && played.close)
                m_piece.repeats.push_back({ticks(m_measureStart), false, played.times});
        }
        if (m_first)
            m_piece.measureStarts.push_back(ticks(m_measureStart));
        return true;
    }

private:
    static std::vector<MeasureState> statesOf(const std::vector<const XPxmlNode*>& measures)
    {
        std::vector<MeasureState> states;
        states.reserve(measures.size());
        MeasureState state;
        for (const XPxmlNode* measure : measures) {
            states.push_back(state);
            for (XPxmlNode* c = measure->firstElementChild(); c; c = c->nextElementSibling())
                if (c->hasName("attributes"))
                    applyAttributes(c, state);
        }
        return states;
    }

    // Goes on at another measure than the next: its divisions, transposition,
    // time signature and tempo are the ones in force there. A tie still
    // reaches it: a note tied over a jump is held, not struck again.
    void jumpTo(size_t index, const std::vector<MeasureState>& states, const std::vector<double>& tempos)
    {
        if (index >= states.size())
            return;
        const MeasureState& state = states[index];
        m_state.divisions = state.divisions;
        m_state.transpose = state.transpose;
        if (state.beats != m_state.beats || state.unit != m_state.unit) {
            m_state.beats = state.beats;
            m_state.unit = state.unit;
            if (m_first)
                m_piece.meters.push_back({ticks(m_measureStart), state.beats, state.unit});
        }
        if (m_first && index < tempos.size() && tempos[index] > 0)
            m_piece.tempos.push_back({ticks(m_measureStart), tempos[index]});
    }

    bool readMeasure(const XPxmlNode* measure)
    {
        if (m_first)
            m_piece.measureStarts.push_back(ticks(m_measureStart));
        m_position = m_end = m_measureStart;
        for (XPxmlNode* c = measure ? measure->firstElementChild() : nullptr; c; c = c->nextElementSibling()) {
            if (c->hasName("attributes"))
                readAttributes(c);
            else if (c->hasName("note"))
                readNote(c);
            else if (c->hasName("backup"))
                move(-duration(c));
            else if (c->hasName("forward"))
                move(duration(c));
            else if (c->hasName("direction") || c->hasName("sound"))
                readTempo(c);
        }
        // A measure without anything in it still takes its time signature's length.
        if (m_end <= m_measureStart)
            m_end = m_measureStart + 4.0 * m_state.beats / m_state.unit;
        if (m_end - m_measureStart > kLongestMeasure)
            return false;
        m_measureStart = clampQuarters(m_end);
        return true;
    }

    double duration(const XPxmlNode* element) const
    {
        return clampQuarters(childNumber(element, "duration") / m_state.divisions);
    }

    void move(double quarters)
    {
        m_position = std::clamp(m_position + quarters, m_measureStart, kMaxQuarters);
        m_end = std::max(m_end, m_position);
    }

    // Every part keeps its own divisions and time; the first gives the piece its meters.
    void readAttributes(const XPxmlNode* attributes)
    {
        if (applyAttributes(attributes, m_state) && m_first)
            m_piece.meters.push_back({ticks(m_measureStart), m_state.beats, m_state.unit});
    }

    // A direction may stand a little before or after where it is written;
    // its offset moves what it says to playback only when it says so.
    void readTempo(const XPxmlNode* element)
    {
        const XPxmlNode* sound = element->hasName("sound") ? element : child(element, "sound");
        const double tempo = sound ? soundTempo(sound) : 0;
        if (tempo <= 0)
            return;
        double at = m_position;
        if (const XPxmlNode* offset = element != sound ? child(element, "offset") : nullptr;
            offset && attribute(offset, "sound") == "yes")
            at = std::clamp(at + number(offset->textContent()) / m_state.divisions, m_measureStart, kMaxQuarters);
        m_piece.tempos.push_back({ticks(at), tempo});
    }

    void readNote(const XPxmlNode* note)
    {
        if (child(note, "grace"))
            return; // takes no time of its own
        const bool chord = child(note, "chord") != nullptr;
        double length = child(note, "duration") ? duration(note) : typeQuarters(note);
        const double start = chord ? m_chordStart : m_position;
        if (!chord) {
            m_chordStart = m_position;
            move(length);
        }
        const XPxmlNode* pitch = child(note, "pitch");
        if (!pitch || child(note, "cue") || !inFirstVoice(note))
            return;
        // A transposing instrument's part is read as it sounds.
        const int written = pitchOf(pitch);
        const int key = written < 0 ? -1 : written + m_state.transpose;
        if (key < 0 || key >= kKeys)
            return;
        addNote(note, key, start, length);
    }

    void addNote(const XPxmlNode* note, int key, double start, double length)
    {
        long& tied = m_tied[size_t(key)];
        if (hasTie(note, "stop") && tied >= 0) {
            SourceNote& held = m_voice.notes[size_t(tied)];
            held.length = std::max(held.length, ticks(start + length) - held.start);
        } else {
            tied = long(m_voice.notes.size());
            SourceNote added{ticks(start), ticks(length), key, -1};
            const std::string verse = firstVerse(note);
            if (!verse.empty()) {
                added.lyric = int(m_piece.lyrics.size());
                m_piece.lyrics.push_back(verse);
            }
            m_voice.notes.push_back(added);
        }
        if (!hasTie(note, "start"))
            tied = -1;
    }

    ImportedPiece& m_piece;
    SourceVoice& m_voice;
    bool m_first; // the first part gives the piece its measures, repeats and marks
    MeasureState m_state;
    double m_measureStart = 0;
    double m_position = 0;
    double m_end = 0;
    double m_chordStart = 0;
    std::array<long, kKeys> m_tied{}; // the note a tie would continue, by key
};

// The numbers of an ending: "1", "1, 2", "1 2".
std::vector<int> endingNumbers(const std::string& text)
{
    std::vector<int> numbers;
    for (size_t i = 0; i < text.size();) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) {
            ++i;
            continue;
        }
        int value = 0;
        for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
            value = std::min(value * 10 + (text[i] - '0'), 1000);
        if (value >= 1 && value <= 99)
            numbers.push_back(value);
    }
    return numbers;
}

// True when the sound says where to go itself.
bool readSoundMarks(const XPxmlNode* sound, MeasureMarks& marks)
{
    const auto has = [sound](const char* name) { return sound->getAttribute(name) != nullptr; };
    marks.segno |= has("segno");
    marks.coda |= has("coda");
    marks.toCoda |= has("tocoda");
    marks.daCapo |= attribute(sound, "dacapo") == "yes";
    marks.dalSegno |= has("dalsegno");
    marks.fine |= has("fine");
    return has("tocoda") || has("dacapo") || has("dalsegno") || has("fine");
}

// Words a score writes for a jump: where it goes on to ("D.C. al Fine"),
// and the jump itself when no sound says so.
void readJumpWords(const std::string& text, bool said, MeasureMarks& marks)
{
    std::string letters;
    for (char c : text)
        if (std::isalpha(static_cast<unsigned char>(c)))
            letters += char(std::tolower(static_cast<unsigned char>(c)));
    const auto startsWith = [&letters](std::string_view prefix) { return letters.rfind(prefix, 0) == 0; };
    const bool jump = startsWith("dacapo") || startsWith("dc") || startsWith("dalsegno") || startsWith("ds");
    marks.alFine |= jump && letters.find("alfine") != std::string::npos;
    marks.alCoda |= jump && letters.find("alcoda") != std::string::npos;
    if (said)
        return;
    if (startsWith("dacapo") || startsWith("dc"))
        marks.daCapo = true;
    else if (startsWith("dalsegno") || startsWith("ds"))
        marks.dalSegno = true;
    else if (letters.find("tocoda") != std::string::npos)
        marks.toCoda = true;
    else if (letters == "fine")
        marks.fine = true;
}

void readDirectionMarks(const XPxmlNode* direction, MeasureMarks& marks)
{
    const XPxmlNode* sound = child(direction, "sound");
    const bool said = sound && readSoundMarks(sound, marks);
    for (XPxmlNode* type = direction->firstElementChild(); type; type = type->nextElementSibling()) {
        if (!type->hasName("direction-type"))
            continue;
        for (XPxmlNode* c = type->firstElementChild(); c; c = c->nextElementSibling()) {
            if (c->hasName("segno"))
                marks.segno = true;
            else if (c->hasName("coda"))
                marks.codaSign = true;
            else if (c->hasName("words"))
                readJumpWords(c->textContent(), said, marks);
        }
    }
}

void readBarlineMarks(const XPxmlNode* barline, MeasureMarks& marks)
{
    for (XPxmlNode* c = barline->firstElementChild(); c; c = c->nextElementSibling()) {
        if (c->hasName("repeat")) {
            const std::string direction = attribute(c, "direction");
            if (direction == "forward") {
                marks.repeatForward = true;
            } else if (direction == "backward") {
                marks.repeatBackward = true;
                const std::string stated = attribute(c, "times");
                marks.times = stated.empty() ? 2 : int(std::clamp(number(stated, 2), 0.0, 1000.0));
                marks.afterJump = attribute(c, "after-jump") == "yes";
            }
        } else if (c->hasName("ending")) {
            const std::string type = attribute(c, "type");
            if (type == "start")
                marks.ending = endingNumbers(attribute(c, "number"));
            else if (type == "stop" || type == "discontinue")
                marks.endingStop = true;
        } else if (c->hasName("segno")) {
            marks.segno = true;
        } else if (c->hasName("coda")) {
            marks.codaSign = true;
        }
    }
}

// What one part's measure says about the order of play; parts add to each other.
void readMeasureMarks(const XPxmlNode* measure, MeasureMarks& marks)
{
    for (XPxmlNode* c = measure->firstElementChild(); c; c = c->nextElementSibling()) {
        if (c->hasName("barline"))
            readBarlineMarks(c, marks);
        else if (c->hasName("direction"))
            readDirectionMarks(c, marks);
        else if (c->hasName("sound"))
            readSoundMarks(c, marks);
    }
}

// The score's form and the tempo in force where each measure begins, read
// from every part.
struct ScoreForm {
    std::vector<PlayedMeasure> order;
    std::vector<double> tempos;
};

ScoreForm readForm(const XPxmlNode* score)
{
    std::vector<MeasureMarks> marks;
    std::vector<double> stated; // the last tempo stated in each measure
    for (XPxmlNode* part = score->firstElementChild(); part; part = part->nextElementSibling()) {
        if (!part->hasName("part"))
            continue;
        const std::vector<const XPxmlNode*> measures = measuresOf(part);
        if (measures.size() > marks.size()) {
            marks.resize(measures.size());
            stated.resize(measures.size(), 0);
        }
        for (size_t i = 0; i < measures.size(); ++i) {
            readMeasureMarks(measures[i], marks[i]);
            for (XPxmlNode* c = measures[i]->firstElementChild(); c; c = c->nextElementSibling()) {
                const XPxmlNode* sound = c->hasName("sound") ? c : c->hasName("direction") ? child(c, "sound") : nullptr;
                if (const double tempo = sound ? soundTempo(sound) : 0; tempo > 0)
                    stated[i] = tempo;
            }
        }
    }
    ScoreForm form{playingOrder(marks), std::vector<double>(marks.size(), 0)};
    for (size_t i = 1; i < stated.size(); ++i)
        form.tempos[i] = stated[i - 1] > 0 ? stated[i - 1] : form.tempos[i - 1];
    return form;
}

void readCredits(const XPxmlNode* score, ImportedPiece& piece)
{
    piece.title = childText(child(score, "work"), "work-title");
    if (piece.title.empty())
        piece.title = childText(score, "movement-title");
    const XPxmlNode* identification = child(score, "identification");
    for (XPxmlNode* c = identification ? identification->firstElementChild() : nullptr; c; c = c->nextElementSibling())
        if (c->hasName("creator") && attribute(c, "type") == "composer" && piece.composer.empty())
            piece.composer = c->textContent();
    piece.rights = childText(identification, "rights");
}

} // namespace

bool readMusicXml(std::string& text, ImportedPiece& piece, std::string& problem)
{
    decodeCharacterReferences(text);
    XPxmlDoc tree;
    if (tree.loadText(text.c_str(), text.size()) != 0) {
        problem = "the MusicXML is not valid XML at line " + std::to_string(tree.line());
        return false;
    }
    std::string().swap(text); // the tree holds it now
    const XPxmlNode* score = tree.rootElement();
    if (!score || !score->hasName("score-partwise")) {
        problem = score && score->hasName("score-timewise") ? "the MusicXML is timewise; only partwise scores can be read"
                                                          : "not a MusicXML file";
        return false;
    }
    piece = ImportedPiece{};
    piece.ticksPerQuarter = kTicksPerQuarter;
    readCredits(score, piece);
    const XPxmlNode* partList = child(score, "part-list");
    const ScoreForm form = readForm(score);
    int partNumber = 0;
    for (XPxmlNode* part = score->firstElementChild(); part; part = part->nextElementSibling()) {
        if (!part->hasName("part"))
            continue;
        SourceVoice voice;
        const PartInfo info = partInfo(partList, attribute(part, "id"));
        voice.label = "part " + std::to_string(++partNumber);
        voice.name = info.name;
        voice.instrument = info.instrument;
        voice.program = info.program;
        if (!PartReading(piece, voice, partNumber == 1).read(part, form.order, form.tempos, problem))
            return false;
        if (!voice.notes.empty())
            piece.voices.push_back(std::move(voice));
    }
    const auto byTime = [](const auto& a, const auto& b) { return a.at < b.at; };
    std::stable_sort(piece.tempos.begin(), piece.tempos.end(), byTime);
    std::stable_sort(piece.meters.begin(), piece.meters.end(), byTime);
    if (piece.voices.empty()) {
        problem = "the MusicXML has no notes";
        return false;
    }
    return true;
}
