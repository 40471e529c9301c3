#include "app/midi_export.h"

#include "app/zolva_view.h"
#include "doc/message_sink.h"
#include "doc/zolva_doc.h"
#include "play/performance_render.h"
#include "play/smf_writer.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QSaveFile>

QString chooseMidiFile(QWidget* parent, const QString& suggested)
{
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Export MIDI"), suggested,
                                        QStringLiteral("MIDI files (*.mid)"));
}

QString suggestedMidiFile(const QString& documentPath, const QString& folder)
{
    QString name = QFileInfo(documentPath).completeBaseName();
    if (name.isEmpty())
        name = QStringLiteral("music");
    return QDir(folder).filePath(name + QStringLiteral(".mid"));
}

bool writeWholeFile(const QString& path, const std::string& bytes, MessageSink& messages)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size()) &&
        file.commit())
        return true;
    const QString reason = file.errorString();
    file.cancelWriting();
    messages.showMessage(formatMessage("Unable to write %s: %s", QFile::encodeName(path).constData(),
                                       reason.toLocal8Bit().constData()));
    return false;
}

void exportMidi(CZolvaView& view, const PracticeControls& practice, const QString& folder,
                const MidiFileChooser& choose, MessageSink& messages, QWidget* parent, const BackgroundLoad& wait)
{
    CZolvaDoc& doc = view.document();
    const QString path = choose(parent, suggestedMidiFile(doc.pathName(), folder));
    if (path.isEmpty())
        return;
    PerformanceMusic music;
    music.noteList = doc.noteList();
    music.tineCount = doc.tineCount();
    music.tineKeys = view.layout().options().tineKeys;
    music.speed = practice.speed.load();
    music.metronome = practice.metronome.load();
    Performance performance;
    const bool made = wait(QFileInfo(path).fileName(), [&](WorkProgress& progress) {
        performance = renderPerformance(messages, music, &progress.cancelled);
    });
    if (!made)
        return;
    if (writeWholeFile(path, standardMidiFile(performance), messages) && performance.cut)
        messages.showMessage(formatMessage("The music repeats until it is stopped: %s holds its first %d minutes.",
                                           QFile::encodeName(QFileInfo(path).fileName()).constData(),
                                           int(kLongestPerformance / 60000000)));
}
