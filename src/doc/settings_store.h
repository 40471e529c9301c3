#pragma once

#include <QSettings>
#include <QString>

// The program's settings store: organisation "Zolva", application
// "Zolva Reader". Its own values live in the group "Settings", as text.

// The names of the values in the group "Settings".
namespace SettingKey {
inline constexpr char LastOpenPath[] = "LastOpenPath";
inline constexpr char Metronome[] = "Metronome";
inline constexpr char MidiDevice[] = "MidiDevice";
inline constexpr char MidiInstrument[] = "MidiInstrument";
inline constexpr char Mute[] = "Mute";
inline constexpr char PlayDelay[] = "PlayDelay";
inline constexpr char Speed[] = "Speed";
inline constexpr char WindowPos[] = "WindowPos";
inline constexpr char Zoom[] = "Zoom";
inline constexpr char ImportTines[] = "ImportTines";
inline constexpr char ImportRhythm[] = "ImportRhythm";
inline constexpr char ListenDevice[] = "ListenDevice";
inline constexpr char TunerReference[] = "TunerReference";
} // namespace SettingKey

// The groups beside "Settings".
inline constexpr char kRecentFileGroup[] = "Recent File List";
inline constexpr char kDockStateGroup[] = "ToolbarDockState";

// The whole store, for the groups beside "Settings".
QSettings programSettings();

// The stored text of key, or the empty text when it is absent.
QString readSettingText(const char* key);
// Stores text exactly as given.
void writeSettingText(const char* key, const QString& text);
// The leading integer of text: blanks, an optional sign, then digits; 0 without digits.
long leadingIntegerOf(const QString& text);

// The leading integer of key's text; fallback when the key is absent or empty.
long readSettingNumber(const char* key, long fallback);
// Stores value as decimal text.
void writeSettingNumber(const char* key, long value);
