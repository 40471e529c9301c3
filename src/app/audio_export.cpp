#include "app/audio_export.h"

#include "app/export_audio_dlg.h"
#include "app/performance_export.h"
#include "app/zolva_view.h"
#include "doc/deferred_messages.h"
#include "doc/message_sink.h"
#include "doc/zolva_doc.h"
#include "play/builtin_synth.h"
#include "play/performance_audio.h"
#include "play/synth_engine.h"

#include <QFileDialog>
#include <QFileInfo>

std::optional<AudioExportChoice> chooseAudioExport(QWidget* parent, const QString& documentPath,
                                                   const QString& folder, const PracticeControls& practice)
{
    CExportAudioDlg dialog(practice, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    AudioExportChoice choice;
    choice.kind = dialog.kind();
    choice.speed = dialog.speed();
    choice.metronome = dialog.metronome();
    const QString suffix = soundFileSuffix(choice.kind);
    choice.path = QFileDialog::getSaveFileName(parent, QStringLiteral("Export Audio"),
                                               suggestedExportFile(documentPath, folder, suffix),
                                               QStringLiteral("Sound files (*%1)").arg(suffix));
    if (choice.path.isEmpty())
        return std::nullopt;
    // A name typed with another kind's extension asks for that kind.
    if (const SoundFileKind typed = soundFileKindOf(choice.path);
        choice.path.endsWith(soundFileSuffix(typed), Qt::CaseInsensitive))
        choice.kind = typed;
    else
        choice.path += suffix;
    return choice;
}

void exportAudio(CZolvaView& view, const AudioExportChoice& choice, MessageSink& messages, const BackgroundLoad& wait)
{
    const std::string soundFont = builtInSoundFont();
    const PerformanceMusic music = performanceMusicOf(view, choice.speed, choice.metronome);
    // The work asks nothing and says what it must after it ends.
    DeferredMessages deferred;
    QString failure;
    bool written = false, cut = false;
    const bool finished = wait(QFileInfo(choice.path).fileName(), [&](WorkProgress& progress) {
        const Performance performance = renderPerformance(deferred, music, &progress.cancelled);
        cut = performance.cut;
        if (progress.cancelled.load())
            return;
        SynthEngine engine;
        if (!engine.loadSoundFont(soundFont)) {
            failure = QStringLiteral("The built-in synthesizer has no SoundFont.");
            return;
        }
        std::unique_ptr<SoundFileWriter> file =
            SoundFileWriter::open(choice.path, choice.kind, SynthEngine::kSampleRate, failure);
        if (!file)
            return;
        const auto toFile = [&file](std::span<const float> frames) { return file->write(frames); };
        if (!renderPerformanceAudio(performance, engine, toFile, &progress)) {
            failure = file->error();
            return; // the unfinished file goes with the writer
        }
        written = file->commit(failure);
    });
    deferred.showThrough(messages);
    if (!finished)
        return;
    if (!written)
        reportUnwritable(choice.path, failure, messages);
    else if (cut)
        reportCutPerformance(choice.path, messages);
}
