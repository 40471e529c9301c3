#pragma once

#include "doc/background_load.h"
#include "play/sound_file_writer.h"

#include <QString>

#include <functional>
#include <optional>

class CZolvaView;
class MessageSink;
class QWidget;
struct PracticeControls;

// What File > Export Audio writes: where, in which kind of file, and how the
// music is played.
struct AudioExportChoice {
    QString path;
    SoundFileKind kind = SoundFileKind::Wav;
    int speed = 100; // percent
    bool metronome = false;
};

// Asks for the choice, offering the practice speed and metronome as they are
// set and a name in folder; nothing when cancelled. Tests bring their own.
using AudioExportChooser = std::function<std::optional<AudioExportChoice>(
    QWidget* parent, const QString& documentPath, const QString& folder, const PracticeControls& practice)>;
std::optional<AudioExportChoice> chooseAudioExport(QWidget* parent, const QString& documentPath,
                                                   const QString& folder, const PracticeControls& practice);

// Renders view's music from its first element with the built-in synthesizer
// into the chosen file, in wait, which the player may cancel: a cancelled or
// failed export leaves no file and an existing one untouched.
void exportAudio(CZolvaView& view, const AudioExportChoice& choice, MessageSink& messages, const BackgroundLoad& wait);
