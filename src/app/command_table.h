#pragma once

#include <span>

// Every command of the main window, by the numeric id it has always had. The
// menus, the toolbars and the keys all reach a command through the one
// QAction made from its row.

// When a command may run. Commands without a working action are Disabled: shown
// greyed and inert from menu, button and key alike.
enum class CommandRule {
    Disabled,
    Always,
    ActiveView,     // a document window is active
    ActiveViewIdle, // ... and its view is not playing
    ActiveViewPlaying,
    AnyView,        // some document has a view
    AnyViewIdle,    // ... and no view is playing
    SomeViewPlaying,
    // The practice tools, only where the application has put them in place.
    Practice,
    PracticeAnyView,   // ... and some document has a view
    PracticeSlower,    // ... and the speed is above its lowest
    PracticeFaster,    // ... and below its highest
    PracticeNotNormal, // ... and not the written speed
    PracticeLoop,      // ... views untied, the active view with two or more rows selected
};

struct CommandInfo {
    int id;
    const char* text;      // menu text with its & and \t key, or the button's name
    const char* prompt;    // the status-bar prompt
    const char* tip;       // the tooltip
    const char* keys;      // shortcuts in portable text, "; " between them; may be empty
    const char* themeIcon; // the desktop theme's icon name, or null for our own
    CommandRule rule;
};

// What the enabling rules look at.
struct CommandState {
    bool activeView = false;
    bool activeViewPlaying = false;
    bool anyView = false;
    bool anyViewPlaying = false;
    bool practice = false;        // the practice tools are in place
    int speed = 100;              // percent
    bool tied = false;            // "Tie All Views Together" is pressed
    bool activeRowsSelected = false; // the active view has two or more rows selected
};

bool isCommandEnabled(CommandRule rule, const CommandState& state);

std::span<const CommandInfo> commandTable();
// The row of id, or null.
const CommandInfo* findCommand(int id);

// Ids the code refers to by name.
namespace cmd {
inline constexpr int FileNew = 57600;
inline constexpr int FileOpen = 57601;
inline constexpr int FileClose = 57602;
inline constexpr int ExportAudio = 33031;
inline constexpr int ExportMidi = 33032;
inline constexpr int FileMru1 = 57616; // up to FileMru1 + 3
inline constexpr int AppExit = 57665;
inline constexpr int ViewToolbar = 59392;
inline constexpr int ViewStatusBar = 59393;
inline constexpr int ZoomIn = 33020;
inline constexpr int ZoomOut = 33021;
inline constexpr int ZoomActual = 33022;
inline constexpr int ExportSheet = 33030;
inline constexpr int WindowNew = 57648;
inline constexpr int WindowArrange = 57649;
inline constexpr int WindowCascade = 57650;
inline constexpr int WindowTile = 57652;
inline constexpr int PlayView = 32782;
inline constexpr int StopView = 32783;
// The views' own Home and End, reached through the application's.
inline constexpr int ViewHome = 32802;
inline constexpr int ViewEnd = 32803;
inline constexpr int PlayAll = 32826;
inline constexpr int StopPlaying = 32827;
inline constexpr int TieViews = 32830;
inline constexpr int Home = 32831;
inline constexpr int End = 32832;
inline constexpr int PlayDelay = 32836;
// Practice: 33000 … 33019.
inline constexpr int PlayOrStop = 33000;
inline constexpr int Slower = 33001;
inline constexpr int Faster = 33002;
inline constexpr int NormalSpeed = 33003;
inline constexpr int Speed = 33004; // the speed box stands in its place
inline constexpr int Metronome = 33005;
inline constexpr int LoopSelection = 33006;
// Listening: 33040 … 33049.
inline constexpr int Tuner = 33040;
inline constexpr int PlayAlong = 33041;
inline constexpr int KeepTempo = 33042;
} // namespace cmd

// Menus and toolbars as lists of ids; 0 is a separator.
inline constexpr int kSeparator = 0;
// Where the recent files go in a File menu.
inline constexpr int kRecentFilesSlot = -1;

struct MenuInfo {
    const char* title;
    std::span<const int> entries;
};

// The menu bar without a document, and the one while a document window is active.
std::span<const MenuInfo> menusWithoutDocument();
std::span<const MenuInfo> menusWithDocument();
std::span<const int> mainToolbarButtons();
std::span<const int> noteBarButtons();
// The Practice menu goes into the document menu bar before this title once
// the application puts the practice tools in place.
inline constexpr const char* kPracticeMenuBefore = "&Window";
const MenuInfo& practiceMenu();
std::span<const int> practiceBarButtons();

// The View toggle of the note bar is named after the menu bar it stands in.
inline constexpr const char* kNoteBarTextWithoutDocument = "&Note Bar";
inline constexpr const char* kNoteBarTextWithDocument = "&Toolbar";
