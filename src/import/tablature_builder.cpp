#include "import/tablature_builder.h"

#include "doc/music_version.h"
#include "doc/music_vocabulary.h"
#include "import/tine_fitting.h"
#include "xml/xpxml_doc.h"
#include "xml/xpxml_node.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <string_view>

namespace {

constexpr char kShadeColor[] = "14599344";

XPxmlNode* addElement(XPxmlNode* parent, const char* name)
{
    XPxmlNode* element = XPxmlNode::create(name);
    parent->appendChild(element);
    return element;
}

// A number's text, kept until the element that takes it is made.
struct Number {
    char text[24];
    std::string_view of(long value)
    {
        char* end = std::to_chars(text, text + sizeof text - 1, value).ptr;
        *end = '\0';
        return {text, size_t(end - text)};
    }
};

void setNumber(XPxmlNode* element, const char* name, long value)
{
    Number number;
    element->setAttribute(name, number.of(value).data());
}

void addDisplayOptions(XPxmlNode* config, const char* name, const char* scale)
{
    XPxmlNode* options = addElement(config, name);
    options->setAttribute(MusicAttr::Tails, MusicValue::Modern);
    setNumber(options, MusicAttr::TineWidth, MusicDefault::TineWidthModern);
    options->setAttribute(MusicAttr::NoteSpacing, MusicValue::Variable);
    setNumber(options, MusicAttr::NoteSpacingSize, MusicDefault::NoteSpacingSize);
    options->setAttribute(MusicAttr::MeasureSpacing, MusicValue::Variable);
    setNumber(options, MusicAttr::MeasureSpacingSize, MusicDefault::MeasureSpacingSize);
    options->setAttribute(MusicAttr::DrawFirstBar, "Y");
    options->setAttribute(MusicAttr::Scale, scale);
}

void addConfig(XPxmlNode* root, const ImportedPiece& piece, const KalimbaTines& kalimba)
{
    XPxmlNode* config = addElement(root, MusicElement::Config);
    addElement(config, MusicElement::Midi);

    XPxmlNode* tines = addElement(config, MusicElement::TineSettings);
    setNumber(tines, MusicAttr::Number, long(parseTinePitches(kalimba.noteValues).size()));
    tines->setAttribute(MusicAttr::NoteValues, kalimba.noteValues.c_str());
    tines->setAttribute(MusicAttr::Shade, kalimba.shade.c_str());
    tines->setAttribute(MusicAttr::ShadeColor, kShadeColor);
    tines->setAttribute(MusicAttr::Sharps, MusicValue::Sharps);

    addDisplayOptions(config, MusicElement::ScreenOptions, "1.000");
    addDisplayOptions(config, MusicElement::PrintOptions, "0.800");

    XPxmlNode* options = addElement(config, MusicElement::Options);
    setNumber(options, MusicAttr::BarNumbers, 1);
    setNumber(options, MusicAttr::Lyrics, MusicDefault::Lyrics);
    setNumber(options, MusicAttr::VTines, MusicDefault::VTines);
    setNumber(options, MusicAttr::CenterLine, MusicDefault::CenterLine);
    setNumber(options, MusicAttr::TineLabels, MusicDefault::TineLabels);

    XPxmlNode* author = addElement(config, MusicElement::Author);
    author->setAttribute(MusicAttr::Author, piece.composer.c_str());
    author->setAttribute(MusicAttr::Title, piece.title.c_str());
    author->setAttribute(MusicAttr::Arranger, "");
    author->setAttribute(MusicAttr::CopyRight, piece.rights.c_str());
    author->setAttribute(MusicAttr::ReadOnly, "N");
}

// The attributes of bars and notes, their shared names looked up once.
struct EventNames {
    XPxmlAttributeName type{MusicAttr::Type};
    XPxmlAttributeName timing{MusicAttr::Timing};
    XPxmlAttributeName tempo{MusicAttr::Tempo};
    XPxmlAttributeName modifier{MusicAttr::Modifier};
    XPxmlAttributeName repeatCount{MusicAttr::RepeatCount};
    XPxmlAttributeName value{MusicAttr::Value};
    XPxmlAttributeName tines{MusicAttr::Tines};
    XPxmlAttributeName tuplet{MusicAttr::Tuplet};
    XPxmlAttributeName tie{MusicAttr::Tie};
    XPxmlAttributeName text{MusicAttr::Text};
};

const EventNames& eventNames()
{
    static const EventNames names;
    return names;
}

const char* barType(const WrittenBar& bar)
{
    if (bar.opening)
        return MusicValue::Auto;
    if (!bar.fullMeasure)
        return MusicValue::Manual;
    const bool carries = bar.setsTiming || bar.tempo > 0 || bar.modifier != RepeatModifier::None;
    return carries ? MusicValue::AutoManual : MusicValue::Auto;
}

const char* modifierText(RepeatModifier modifier)
{
    switch (modifier) {
    case RepeatModifier::Open: return MusicValue::OpenRepeat;
    case RepeatModifier::Close: return MusicValue::CloseRepeat;
    case RepeatModifier::Both: return MusicValue::BothRepeat;
    case RepeatModifier::None: break;
    }
    return nullptr;
}

} // namespace

const KalimbaTines& defaultKalimba()
{
    static const KalimbaTines tines{"86,83,79,76,72,69,65,62,60,64,67,71,74,77,81,84,88", "00100100100100100"};
    return tines;
}

TablatureBuilder::TablatureBuilder(XPxmlDoc& tree, const ImportedPiece& piece, const KalimbaTines& tines)
    : m_piece(piece)
{
    XPxmlNode* root = XPxmlNode::create(MusicElement::Root);
    tree.documentNode()->appendChild(root);
    root->setAttribute(MusicAttr::Version, programVersion().c_str());
    addConfig(root, piece, tines);
    m_noteList = addElement(root, MusicElement::NoteList);
    addElement(root, MusicElement::TineList);
}

void TablatureBuilder::addBar(const WrittenBar& bar)
{
    const EventNames& names = eventNames();
    // "M4/4": the letter, then the two numbers.
    Number beats, unit;
    char timing[2 * sizeof beats.text + 2] = {bar.setsTiming ? MusicValue::SetTiming : MusicValue::InheritedTiming};
    const std::string_view top = beats.of(bar.beats), bottom = unit.of(bar.unit);
    char* end = std::copy(top.begin(), top.end(), timing + 1);
    *end++ = '/';
    end = std::copy(bottom.begin(), bottom.end(), end);
    m_maker.add(names.type, barType(bar)).add(names.timing, {timing, size_t(end - timing)});
    Number tempo, count;
    if (bar.tempo > 0)
        m_maker.add(names.tempo, tempo.of(bar.tempo));
    if (const char* modifier = modifierText(bar.modifier)) {
        m_maker.add(names.modifier, modifier);
        if (bar.repeatCount >= 0)
            m_maker.add(names.repeatCount, count.of(bar.repeatCount));
    }
    m_maker.appendTo(*m_noteList, MusicElement::Bar);
}

void TablatureBuilder::addNote(const WrittenNote& note)
{
    const EventNames& names = eventNames();
    m_maker.add(names.value, valueText(note.value));
    // Tine numbers are below 256: at most four characters each with the comma.
    char tines[4 * 256];
    if (!note.rest) {
        char* end = tines;
        for (uint32_t i = 0; i < note.tineCount && i < 256; ++i) {
            if (i > 0)
                *end++ = ',';
            end = std::to_chars(end, tines + sizeof tines, note.tines[i]).ptr;
        }
        m_maker.add(names.tines, {tines, size_t(end - tines)});
    }
    const char letter[1] = {note.tuplet};
    if (note.tuplet)
        m_maker.add(names.tuplet, {letter, 1});
    if (note.tie)
        m_maker.add(names.tie, "Y");
    Number tempo;
    if (note.tempo > 0)
        m_maker.add(names.tempo, tempo.of(note.tempo));
    if (note.lyric >= 0 && size_t(note.lyric) < m_piece.lyrics.size())
        m_maker.add(names.text, m_piece.lyrics[size_t(note.lyric)]);
    m_maker.appendTo(*m_noteList, note.rest ? MusicElement::Rest : MusicElement::Note);
}
