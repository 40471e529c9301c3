#include "app/midi_export.h"

#include "app/performance_export.h"
#include "app/zolva_view.h"
#include "doc/deferred_messages.h"
#include "doc/message_sink.h"
#include "doc/zolva_doc.h"
#include "play/performance_render.h"
#include "play/smf_writer.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QSaveFile>

QString chooseMidiFile(QWidget* parent, const QString& suggested)
{
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Export MIDI"), suggested,
                                        QStringLiteral("MIDI files (*.mid)"));
}

bool writeWholeFile(const QString& path, const std::string& bytes, MessageSink& messages)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size()) &&
        file.commit())
        return true;
    const QString reason = file.errorString();
    file.cancelWriting();
    reportUnwritable(path, reason, messages);
    return false;
}

void exportMidi(CZolvaView& view, const PracticeControls& practice, const QString& folder,
                const MidiFileChooser& choose, MessageSink& messages, QWidget* parent, const BackgroundLoad& wait)
{
    const QString path = choose(parent, suggestedExportFile(view.document().pathName(), folder, QStringLiteral(".mid")));
    if (path.isEmpty())
        return;
    const PerformanceMusic music = performanceMusicOf(view, practice.speed.load(), practice.metronome.load());
    // The work asks nothing and says what it must after it ends.
    DeferredMessages deferred;
    Performance performance;
    const bool made = wait(QFileInfo(path).fileName(), [&](WorkProgress& progress) {
        performance = renderPerformance(deferred, music, &progress.cancelled);
    });
    deferred.showThrough(messages);
    if (!made)
        return;
    if (writeWholeFile(path, standardMidiFile(performance), messages) && performance.cut)
        reportCutPerformance(path, messages);
}
