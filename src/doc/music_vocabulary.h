#pragma once

// Every element, attribute and fixed value of a music file (.zvm), in one
// place. Names compare without regard to case; values are text.

namespace MusicElement {
inline constexpr char Root[] = "Zolva";
inline constexpr char TemplateRoot[] = "ZolvaTemplate";
inline constexpr char Config[] = "Config";
inline constexpr char Midi[] = "MIDI";             // in Config; kept as read
inline constexpr char TineSettings[] = "Tines";    // in Config
inline constexpr char ScreenOptions[] = "Notes";   // in Config
inline constexpr char PrintOptions[] = "PrintNotes"; // in Config
inline constexpr char Options[] = "Options";       // in Config
inline constexpr char Author[] = "Author";         // in Config
inline constexpr char NoteList[] = "Notes";        // in the root: the music
inline constexpr char TineList[] = "Tines";        // in the root; kept as read
// The three kinds of event in the note list.
inline constexpr char Bar[] = "Bar";
inline constexpr char Note[] = "Note";
inline constexpr char Rest[] = "Rest";
} // namespace MusicElement

namespace MusicAttr {
// Root.
inline constexpr char Version[] = "Version";
// Tine settings.
inline constexpr char Number[] = "Number";
inline constexpr char NoteValues[] = "NoteValues";
inline constexpr char Shade[] = "Shade";
inline constexpr char ShadeColor[] = "ShadeColor";
inline constexpr char CustomColor[] = "CustomColor";
inline constexpr char Sharps[] = "Sharps";
// Screen and print options.
inline constexpr char Tails[] = "Tails";
inline constexpr char TineWidth[] = "TineWidth";
inline constexpr char NoteSpacing[] = "NoteSpacing";
inline constexpr char NoteSpacingSize[] = "NoteSpacingSize";
inline constexpr char MeasureSpacing[] = "MeasureSpacing";
inline constexpr char MeasureSpacingSize[] = "MeasureSpacingSize";
inline constexpr char DrawFirstBar[] = "DrawFirstBar";
inline constexpr char Scale[] = "Scale";
inline constexpr char PrintHeaders[] = "PrintHeaders";
// Options.
inline constexpr char BarNumbers[] = "BarNumbers";
inline constexpr char Lyrics[] = "Lyrics";
inline constexpr char VTines[] = "VTines";
inline constexpr char CenterLine[] = "CenterLine";
inline constexpr char TineLabels[] = "TineLabels";
// Author.
inline constexpr char Author[] = "Author";
inline constexpr char Title[] = "Title";
inline constexpr char Arranger[] = "Arranger";
inline constexpr char CopyRight[] = "CopyRight";
inline constexpr char ReadOnly[] = "ReadOnly";
// Bar.
inline constexpr char Type[] = "Type";
inline constexpr char Timing[] = "Timing";
inline constexpr char Tempo[] = "Tempo";
inline constexpr char Modifier[] = "Modifier";
inline constexpr char RepeatCount[] = "RepeatCount";
// Note and rest.
inline constexpr char Value[] = "Value";
inline constexpr char Tines[] = "Tines";
inline constexpr char Tuplet[] = "Tuplet";
inline constexpr char Tie[] = "Tie";
inline constexpr char Beam[] = "Beam";
inline constexpr char Bird[] = "Bird";             // a fermata
inline constexpr char Text[] = "Text";
// Old files: a manual bar line before this note (moved onto a "Bar" on upgrade).
inline constexpr char Measure[] = "Measure";
// Working data of the layout, never written to a file.
inline constexpr char WorkingPrefix[] = "~";
inline constexpr char Pos[] = "~Pos";
inline constexpr char Error[] = "~Error";
inline constexpr char Pass[] = "~Pass"; // a playing repeat's pass, "2/3" or "2"
} // namespace MusicAttr

namespace MusicValue {
// Bar "Type".
inline constexpr char Auto[] = "Auto";
inline constexpr char Manual[] = "Manual";
inline constexpr char AutoManual[] = "AutoManual";
// Bar "Modifier".
inline constexpr char OpenRepeat[] = "OpenRepeat";
inline constexpr char CloseRepeat[] = "CloseRepeat";
inline constexpr char BothRepeat[] = "BothRepeat";
// Bar "Timing": "A" inherited, "M" set on this bar, then beats "/" unit.
inline constexpr char InheritedTiming = 'A';
inline constexpr char SetTiming = 'M';
inline constexpr char CommonTime[] = "A4/4";
// "Tails", with the older spellings that files may still hold.
inline constexpr char Modern[] = "Modern";
inline constexpr char Minimal[] = "Minimal";
inline constexpr char OldModern[] = "New";
inline constexpr char OldMinimal[] = "Old";
// "NoteSpacing", "MeasureSpacing".
inline constexpr char Variable[] = "Variable";
inline constexpr char Fixed[] = "Fixed";
// "Sharps".
inline constexpr char Sharps[] = "Sharps";
inline constexpr char Flats[] = "Flats";
// Y/N switches: only the first character counts.
inline constexpr char Yes = 'Y';
inline constexpr char No = 'N';
// "Beam" and the layout's "Tuplet" letters.
inline constexpr char GroupFirst[] = "F";
inline constexpr char GroupInner[] = "Y";
inline constexpr char GroupLast[] = "L";
// "Version" values with a meaning of their own.
inline constexpr char AnyVersion[] = "x.x.x";      // opens without comparing
inline constexpr char UpgradeVersion[] = "0.0.0";  // asks to upgrade
} // namespace MusicValue

// Defaults of attributes that a file may leave out.
namespace MusicDefault {
inline constexpr int TineWidthModern = 22;
inline constexpr int TineWidth = 20;
inline constexpr const char* NoteSpacing = MusicValue::Fixed;
inline constexpr const char* MeasureSpacing = MusicValue::Variable;
inline constexpr char DrawFirstBar = MusicValue::Yes;
inline constexpr char PrintHeaders = MusicValue::Yes;
inline constexpr const char* Sharps = MusicValue::Sharps;
inline constexpr int NoteSpacingSize = 20;
inline constexpr int MeasureSpacingSize = 400;
inline constexpr int BarNumbers = 0;
inline constexpr int Lyrics = 1;
inline constexpr int VTines = 0;
inline constexpr int CenterLine = 0;
inline constexpr int TineLabels = 1;
inline constexpr int ShadeLength = 200;            // characters of the shade text
} // namespace MusicDefault
