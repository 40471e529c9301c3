#include "import/tablature_builder.h"

#include "doc/music_version.h"
#include "doc/music_vocabulary.h"
#include "import/tine_fitting.h"
#include "xml/xpxml_doc.h"
#include "xml/xpxml_node.h"

#include <charconv>
#include <string>

namespace {

constexpr char kShadeColor[] = "14599344";

XPxmlNode* addElement(XPxmlNode* parent, const char* name)
{
    XPxmlNode* element = XPxmlNode::create(name);
    parent->appendChild(element);
    return element;
}

void setNumber(XPxmlNode* element, const char* name, long value)
{
    element->setAttribute(name, std::to_string(value).c_str());
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
    XPxmlNode* element = addElement(m_noteList, MusicElement::Bar);
    element->setAttribute(MusicAttr::Type, barType(bar));
    m_text.assign(1, bar.setsTiming ? MusicValue::SetTiming : MusicValue::InheritedTiming);
    m_text += std::to_string(bar.beats) + '/' + std::to_string(bar.unit);
    element->setAttribute(MusicAttr::Timing, m_text.c_str());
    if (bar.tempo > 0)
        setNumber(element, MusicAttr::Tempo, bar.tempo);
    if (const char* modifier = modifierText(bar.modifier)) {
        element->setAttribute(MusicAttr::Modifier, modifier);
        if (bar.repeatCount >= 0)
            setNumber(element, MusicAttr::RepeatCount, bar.repeatCount);
    }
}

void TablatureBuilder::addNote(const WrittenNote& note)
{
    XPxmlNode* element = addElement(m_noteList, note.rest ? MusicElement::Rest : MusicElement::Note);
    element->setAttribute(MusicAttr::Value, valueText(note.value));
    if (!note.rest) {
        // Tine numbers are below 256: at most four characters each with the comma.
        char tines[4 * 256 + 1];
        char* end = tines;
        for (uint32_t i = 0; i < note.tineCount && i < 256; ++i) {
            if (i > 0)
                *end++ = ',';
            end = std::to_chars(end, tines + sizeof tines - 1, note.tines[i]).ptr;
        }
        *end = '\0';
        element->setAttribute(MusicAttr::Tines, tines);
    }
    if (note.tuplet) {
        const char letter[2] = {note.tuplet, '\0'};
        element->setAttribute(MusicAttr::Tuplet, letter);
    }
    if (note.tie)
        element->setAttribute(MusicAttr::Tie, "Y");
    if (note.tempo > 0)
        setNumber(element, MusicAttr::Tempo, note.tempo);
    if (note.lyric >= 0 && size_t(note.lyric) < m_piece.lyrics.size())
        element->setAttribute(MusicAttr::Text, m_piece.lyrics[size_t(note.lyric)].c_str());
}
