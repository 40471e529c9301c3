#pragma once

#include "doc/background_load.h"

#include <QString>

#include <functional>
#include <string>

class CZolvaView;
class MessageSink;
class QWidget;
struct PracticeControls;

// Asks where File > Export MIDI writes, offering suggested (a replaced file is
// confirmed first); empty when cancelled. Tests bring their own.
using MidiFileChooser = std::function<QString(QWidget* parent, const QString& suggested)>;
QString chooseMidiFile(QWidget* parent, const QString& suggested);

// Replaces path with bytes whole or not at all. On failure says
// "Unable to write PATH: REASON" and returns false.
bool writeWholeFile(const QString& path, const std::string& bytes, MessageSink& messages);

// File > Export MIDI: view's music as Play would send it from its first
// element, at the practice speed and with the metronome as they are set, as a
// Standard MIDI File where the player chooses. The performance is made in
// wait, which the player may cancel.
void exportMidi(CZolvaView& view, const PracticeControls& practice, const QString& folder,
                const MidiFileChooser& choose, MessageSink& messages, QWidget* parent, const BackgroundLoad& wait);
