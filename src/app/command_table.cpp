#include "app/command_table.h"

#include "app/about_dlg.h"
#include "app/author_info_dlg.h"
#include "app/license_text_dlg.h"
#include "app/online_documentation.h"
#include "play/practice_controls.h"

#include <array>

namespace {

using R = CommandRule;

// clang-format off
constexpr CommandInfo kCommands[] = {
    // File
    {57600, "&New\tCtrl+N", "Create a new document", "New", "Ctrl+N", "document-new", R::Disabled},
    {57601, "&Open...\tCtrl+O", "Open an existing document", "Open", "Ctrl+O", "document-open", R::Always},
    {57602, "&Close", "Close the active document", "Close", "", nullptr, R::ActiveView},
    {57603, "&Save\tCtrl+S", "Save the active document", "Save", "Ctrl+S", "document-save", R::Disabled},
    {57604, "Save &As...", "Save the active document with a new name", "Save As", "", nullptr, R::Disabled},
    {32818, "Save to &Bmp", "Save the tablature as a picture", "Save to BMP", "", nullptr, R::Disabled},
    {cmd::ExportSheet, "Export &Sheet...", "Export the tablature as printable pages, PDF or PNG", "Export Sheet", "", nullptr, R::ActiveView},
    {cmd::ExportAudio, "Export A&udio...", "Save the music as it plays as a sound file, WAV, FLAC or Ogg Vorbis", "Export Audio", "", nullptr, R::ActiveView},
    {cmd::ExportMidi, "Export &MIDI...", "Save the music as it plays as a MIDI file", "Export MIDI", "", nullptr, R::ActiveView},
    {57607, "&Print...\tCtrl+P", "Print the active document", "Print", "Ctrl+P", "document-print", R::Disabled},
    {57609, "Print Pre&view", "Display full pages", "Print Preview", "", nullptr, R::Disabled},
    {57606, "P&rint Setup...", "Change the printer and printing options", "Print Setup", "", nullptr, R::Disabled},
    {57616, "", "Open this document", "", "", nullptr, R::Always},
    {57617, "", "Open this document", "", "", nullptr, R::Always},
    {57618, "", "Open this document", "", "", nullptr, R::Always},
    {57619, "", "Open this document", "", "", nullptr, R::Always},
    {57665, "E&xit", "Quit the application", "Exit", "", nullptr, R::Always},
    // Edit
    {57643, "&Undo\tCtrl+Z", "Undo the last action", "Undo", "Ctrl+Z; Alt+Backspace", "edit-undo", R::Disabled},
    {57644, "&Redo\tCtrl+Y", "Redo the previously undone action", "Redo", "Ctrl+Y", "edit-redo", R::Disabled},
    {57635, "Cu&t\tCtrl+X", "Cut the selection and put it on the Clipboard", "Cut", "Ctrl+X; Shift+Del", "edit-cut", R::Disabled},
    {57634, "&Copy\tCtrl+C", "Copy the selection and put it on the Clipboard", "Copy", "Ctrl+C; Ctrl+Ins", "edit-copy", R::Disabled},
    {57637, "&Paste\tCtrl+V", "Insert Clipboard contents", "Paste", "Ctrl+V; Shift+Ins", "edit-paste", R::Disabled},
    {57642, "Select &All\tCtrl+A", "Select the entire document", "Select All", "Ctrl+A", nullptr, R::Disabled},
    {32805, "Confi&guration", "Configuration", "Configuration", "", nullptr, R::Disabled},
    {kAuthorInfoCommand, "Author &Info", "Author Info", "Author Info", "", nullptr, R::ActiveView},
    // View
    {59392, kNoteBarTextWithoutDocument, "Show or hide the note bar", "Toggle Note Bar", "", nullptr, R::Always},
    {59393, "&Status Bar", "Show or hide the status bar", "Toggle StatusBar", "", nullptr, R::Always},
    {33020, "Zoom &In\tCtrl++", "Show the music larger in this window", "Zoom In", "Ctrl++; Ctrl+=", "zoom-in", R::ActiveView},
    {33021, "Zoom &Out\tCtrl+-", "Show the music smaller in this window", "Zoom Out", "Ctrl+-", "zoom-out", R::ActiveView},
    {33022, "&Actual Size\tCtrl+0", "Show the music at the size the file sets", "Actual Size", "Ctrl+0", "zoom-original", R::ActiveView},
    // Insert
    {32825, "Repeat Count", "Repeat Count", "Repeat Count", "", nullptr, R::Disabled},
    {32798, "Time Signature", "Time Signature", "Time Signature", "", nullptr, R::Disabled},
    {32799, "Tempo", "Tempo", "Tempo", "", nullptr, R::Disabled},
    {32787, "Repeat Open", "Repeat Open", "Repeat Open", "", nullptr, R::Disabled},
    {32788, "Repeat Close", "Repeat Close", "Repeat Close", "", nullptr, R::Disabled},
    {32813, "Repeat Close/Open", "Repeat Close/Open", "Repeat Close/Open", "", nullptr, R::Disabled},
    {32809, "Fixed Barline", "Fixed Barline", "Fixed Barline", "", nullptr, R::Disabled},
    {32772, "Insert 1 &Below", "Insert 1 Below", "Insert 1 Below", "", nullptr, R::Disabled},
    {32771, "Insert 1 &Above", "Insert 1 Above", "Insert 1 Above", "", nullptr, R::Disabled},
    {32774, "Insert &4 Above", "Insert 4 Above", "Insert 4 Above", "", nullptr, R::Disabled},
    {32775, "Insert &8 Above", "Insert 8 Above", "Insert 8 Above", "", nullptr, R::Disabled},
    {32776, "Insert 1&2 Above", "Insert 12 Above", "Insert 12 Above", "", nullptr, R::Disabled},
    {32777, "Insert 1&6 Above", "Insert 16 Above", "Insert 16 Above", "", nullptr, R::Disabled},
    // Music Box
    {32841, "Print for Music Box", "Print for Music Box", "Print for Music Box", "", nullptr, R::Disabled},
    {32842, "Print Preview for Music Box", "Print Preview for Music Box", "Print Preview for Music Box", "", nullptr, R::Disabled},
    // Window
    {57648, "&New Window", "Open another window for the active document", "New Window", "", "window-new", R::ActiveView},
    {57650, "&Cascade", "Arrange windows so they overlap", "Cascade Windows", "", nullptr, R::ActiveView},
    {57652, "&Tile", "Arrange windows as non-overlapping tiles", "Tile Windows", "", nullptr, R::ActiveView},
    {57649, "&Arrange Icons", "Arrange icons at the bottom of the window", "Arrange Icons", "", nullptr, R::ActiveView},
    // Help
    {kAboutCommand, "&About Zolva Reader...", "Display program information, version number and copyright", "About", "", "help-about", R::Always},
    {kOnlineDocumentationCommand, "Online Documentation", "Open the user manual", "Online Documentation", "", "help-contents", R::Always},
    {kLicenseCommand, "&License", "Show the license of the program", "License", "", nullptr, R::Always},
    // Buttons and keys only
    {32826, "Play", "Play", "Play", "", "media-playback-start", R::AnyViewIdle},
    {32827, "Stop Playing", "Stop Playing", "Stop Playing", "S", "media-playback-stop", R::SomeViewPlaying},
    {32831, "Home", "Home", "Home", "", "go-top", R::ActiveView},
    {32832, "End", "End", "End", "", "go-bottom", R::ActiveView},
    {32830, "Tie All Views Together", "Tie All Views Together", "Tie All Views Together", "", nullptr, R::AnyView},
    {32833, "MIDI Setup", "MIDI Setup", "MIDI Setup", "", nullptr, R::Always},
    {32782, "Play", "Play", "Play", "P", nullptr, R::ActiveViewIdle},
    {32783, "Stop playing", "Stop playing", "Stop playing", "", nullptr, R::ActiveViewPlaying},
    {32836, "Play Delay", "Play Delay (Secs)", "Play Delay (Secs)", "", nullptr, R::Always},
    {32815, "Mute", "Mute", "Mute", "", nullptr, R::Disabled},
    {32820, "Tine labels", "Tine labels", "Tine labels", "", nullptr, R::Disabled},
    {32816, "Measure numbers", "Measure numbers", "Measure numbers", "", nullptr, R::Disabled},
    {32821, "V shaped tines", "V shaped tines", "V shaped tines", "", nullptr, R::Disabled},
    {32822, "Center line", "Center line", "Center line", "", nullptr, R::Disabled},
    {32817, "Transpose", "Transpose", "Transpose", "", nullptr, R::Disabled},
    {57680, "Next Pane", "Switch to the next window pane", "Next Pane", "F6", nullptr, R::Disabled},
    {57681, "Previous Pane", "Switch back to the previous window pane", "Previous Pane", "Shift+F6", nullptr, R::Disabled},
    // Note bar
    {32789, "Whole Note", "Whole Note", "Whole Note", "", nullptr, R::Disabled},
    {32790, "Half Note", "Half Note", "Half Note", "", nullptr, R::Disabled},
    {32791, "Quarter Note", "Quarter Note", "Quarter Note", "", nullptr, R::Disabled},
    {32792, "Eighth Note", "Eighth Note", "Eighth Note", "", nullptr, R::Disabled},
    {32793, "Sixteenth Note", "Sixteenth Note", "Sixteenth Note", "", nullptr, R::Disabled},
    {32794, "Thirtysecond Note", "Thirtysecond Note", "Thirtysecond Note", "", nullptr, R::Disabled},
    {32795, "Sixtyfourth Note", "Sixtyfourth Note", "Sixtyfourth Note", "", nullptr, R::Disabled},
    {32796, "Dotted Note", "Dotted Note", "Dotted Note", "", nullptr, R::Disabled},
    {32806, "Double Dot", "Double Dot", "Double Dot", "", nullptr, R::Disabled},
    {32800, "Tie", "Tie", "Tie", "", nullptr, R::Disabled},
    {32807, "Tuplet", "Tuplet", "Tuplet", "", nullptr, R::Disabled},
    {32812, "Beam", "Beam", "Beam", "", nullptr, R::Disabled},
    {32804, "Fermata", "Fermata", "Fermata", "", nullptr, R::Disabled},
    {32797, "Rest", "Rest", "Rest", "", nullptr, R::Disabled},
    // Practice
    {33000, "&Play/Stop\tSpace", "Play, or stop what is playing", "Play or Stop", "Space", nullptr, R::PracticeAnyView},
    {33001, "&Slower\tCtrl+Down", "Play more slowly", "Slower", "Ctrl+Down", nullptr, R::PracticeSlower},
    {33002, "&Faster\tCtrl+Up", "Play faster", "Faster", "Ctrl+Up", nullptr, R::PracticeFaster},
    {33003, "&Normal Speed", "Play at the written tempo", "Normal Speed", "", nullptr, R::PracticeNotNormal},
    {33004, "Speed", "Playing speed in percent of the written tempo", "Speed (%)", "", nullptr, R::Practice},
    {33005, "&Metronome\tCtrl+M", "Click every beat while playing", "Metronome", "Ctrl+M", nullptr, R::Practice},
    {33006, "&Loop Selection\tCtrl+L", "Play the selected rows again and again until stopped", "Loop Selection",
     "Ctrl+L", nullptr, R::PracticeLoop},
    {cmd::Tuner, "&Tuner...", "Listen to your kalimba through the microphone and show how far each tine is from its note",
     "Tuner", "", nullptr, R::ActiveView},
    {cmd::PlayAlong, "Play &Along", "Play the piece on your kalimba: the cursor waits at each row until it hears the row's tines",
     "Play Along", "", nullptr, R::ActiveView},
    {cmd::KeepTempo, "&Keep Tempo", "Play along in time: the cursor goes on at the playing speed and each row is marked",
     "Keep Tempo", "", nullptr, R::Practice},
};

constexpr int S = kSeparator;

constexpr int kFileWithout[] = {57600, 57601, S, 57606, S, kRecentFilesSlot, S, 57665};
constexpr int kFileWith[] = {57600, 57601, 57602, 57603, 57604, 32818, cmd::ExportSheet, cmd::ExportAudio, cmd::ExportMidi, S, 57607, 57609, 57606, S,
                             kRecentFilesSlot, S, 57665};
constexpr int kEdit[] = {57643, 57644, S, 57635, 57634, 57637, S, 57642, S, 32805, kAuthorInfoCommand};
constexpr int kView[] = {59392, 59393, S, 33020, 33021, 33022};
constexpr int kInsert[] = {32825, 32798, 32799, S, 32787, 32788, 32813, 32809, S,
                           32772, 32771, 32774, 32775, 32776, 32777};
constexpr int kMusicBox[] = {32841, 32842};
constexpr int kWindow[] = {57648, 57650, 57652, 57649};
constexpr int kPractice[] = {33000, S, 33001, 33002, 33003, S, 33005, 33006, S, cmd::Tuner, cmd::PlayAlong, cmd::KeepTempo};
constexpr int kHelp[] = {kAboutCommand, kOnlineDocumentationCommand, kLicenseCommand};
// clang-format on

constexpr MenuInfo kMenusWithout[] = {
    {"&File", kFileWithout}, {"&View", kView}, {"&Help", kHelp}};
constexpr MenuInfo kMenusWith[] = {
    {"&File", kFileWith}, {"&Edit", kEdit},     {"&View", kView},  {"&Insert", kInsert},
    {"&Music Box", kMusicBox}, {"&Window", kWindow}, {"&Help", kHelp}};

constexpr int kMainToolbar[] = {57600, 57601, 57603, 32818, S, 57607, S, 32805, kAuthorInfoCommand, kAboutCommand, S,
                                57635, 57634, 57637, S, 57643, 57644, S, 32836, 32826, 32827, 32831, 32832, 32830,
                                57652, S, 32833, 32815, 32820, 32816, 32821, 32822, S, 32817};
constexpr int kNoteBar[] = {32789, 32790, 32791, 32792, 32793, 32794, 32795, S,
                            32796, 32806, 32800, 32807, 32812, 32804, S, 32797};
constexpr int kPracticeBar[] = {33000, S, 33004, 33001, 33002, 33003, S, 33005, 33006};
constexpr MenuInfo kPracticeMenu = {"&Practice", kPractice};

} // namespace

bool isCommandEnabled(CommandRule rule, const CommandState& state)
{
    switch (rule) {
    case R::Disabled: return false;
    case R::Always: return true;
    case R::ActiveView: return state.activeView;
    case R::ActiveViewIdle: return state.activeView && !state.activeViewPlaying;
    case R::ActiveViewPlaying: return state.activeViewPlaying;
    case R::AnyView: return state.anyView;
    case R::AnyViewIdle: return state.anyView && !state.anyViewPlaying;
    case R::SomeViewPlaying: return state.anyViewPlaying;
    case R::Practice: return state.practice;
    case R::PracticeAnyView: return state.practice && state.anyView;
    case R::PracticeSlower: return state.practice && state.speed > kMinSpeedPercent;
    case R::PracticeFaster: return state.practice && state.speed < kMaxSpeedPercent;
    case R::PracticeNotNormal: return state.practice && state.speed != kNormalSpeedPercent;
    case R::PracticeLoop: return state.practice && !state.tied && state.activeRowsSelected;
    }
    return false;
}

std::span<const CommandInfo> commandTable() { return kCommands; }

const CommandInfo* findCommand(int id)
{
    for (const CommandInfo& command : kCommands) {
        if (command.id == id)
            return &command;
    }
    return nullptr;
}

std::span<const MenuInfo> menusWithoutDocument() { return kMenusWithout; }
std::span<const MenuInfo> menusWithDocument() { return kMenusWith; }
std::span<const int> mainToolbarButtons() { return kMainToolbar; }
std::span<const int> noteBarButtons() { return kNoteBar; }
const MenuInfo& practiceMenu() { return kPracticeMenu; }
std::span<const int> practiceBarButtons() { return kPracticeBar; }
