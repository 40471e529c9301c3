// File > Export MIDI and Export Audio: where they write, and that a file they
// cannot write, or an export cancelled, leaves the old file as it was.
#include "app_fixture.h"

#include "app/audio_export.h"
#include "app/command_table.h"
#include "play/practice_controls.h"

#include <QFileInfo>

namespace {

using ExportCommand = AppTest;

TEST_F(ExportCommand, WritesTheChosenFileOrSaysWhyNot)
{
    struct Row {
        const char* name;
        QString target; // in the test's folder
        bool written;
    };
    const std::vector<Row> rows = {
        {"a new file", "out.mid", true},
        {"an existing file is replaced", "out.mid", true},
        {"a folder that is a file", "piece.zvm/out.mid", false},
    };
    ASSERT_TRUE(start("<Note Tines=\"1\" Value=\"4\"/><Note Tines=\"2\" Value=\"4\"/>"));
    set("LastOpenPath", dir.path() + "/");
    for (const Row& row : rows) {
        const QString target = dir.path() + "/" + row.target;
        QString offered;
        app.setMidiFileChooser([&](QWidget*, const QString& suggested) {
            offered = suggested;
            return target;
        });
        sink.messages.clear();
        ASSERT_TRUE(command(cmd::ExportMidi)->isEnabled()) << row.name;
        command(cmd::ExportMidi)->trigger();
        EXPECT_EQ(offered, dir.path() + "/piece.mid") << row.name;
        QFile file(target);
        EXPECT_EQ(file.open(QIODevice::ReadOnly) && file.read(4) == "MThd", row.written) << row.name;
        if (row.written) {
            EXPECT_TRUE(sink.messages.empty()) << row.name;
        } else {
            ASSERT_EQ(sink.messages.size(), 1u) << row.name;
            EXPECT_EQ(sink.messages[0].rfind("Unable to write " + target.toStdString() + ": ", 0), 0u)
                << sink.messages[0];
            EXPECT_FALSE(QFileInfo::exists(target)) << row.name;
        }
    }
}

TEST_F(ExportCommand, AudioFilesOfEachKindOrNoneAtAll)
{
    struct Row {
        const char* name;
        QString target; // in the test's folder
        SoundFileKind kind;
        bool cancelled;
        QByteArray magic; // the file's first bytes; empty: the old file stays
    };
    const std::vector<Row> rows = {
        {"WAV", "out.wav", SoundFileKind::Wav, false, "RIFF"},
        {"FLAC", "out.flac", SoundFileKind::Flac, false, "fLaC"},
        {"Ogg Vorbis", "out.ogg", SoundFileKind::OggVorbis, false, "OggS"},
        {"a folder that is a file", "piece.zvm/out.wav", SoundFileKind::Wav, false, {}},
        {"cancelled", "out.wav", SoundFileKind::Wav, true, {}},
    };
    ASSERT_TRUE(start("<Note Tines=\"1,2,3\" Value=\"4\"/><Note Tines=\"2\" Value=\"8\"/>"));
    set("LastOpenPath", dir.path() + "/");
    for (const Row& row : rows) {
        const QString target = dir.path() + "/" + row.target;
        QFile old(target);
        if (old.open(QIODevice::WriteOnly))
            old.write("old"), old.close();
        sink.messages.clear();
        AudioExportChoice choice{target, row.kind, 50, true};
        if (row.cancelled) {
            const auto cancelling = [](const QString&, const std::function<void(WorkProgress&)>& work) {
                WorkProgress progress;
                progress.cancelled = true;
                work(progress);
                return false;
            };
            exportAudio(*frame()->activeChild()->view(), choice, sink, cancelling);
        } else {
            QString offered;
            app.setAudioExportChooser([&](QWidget*, const QString&, const QString& folder,
                                          const PracticeControls&) {
                offered = folder;
                return std::optional<AudioExportChoice>(choice);
            });
            ASSERT_TRUE(command(cmd::ExportAudio)->isEnabled()) << row.name;
            command(cmd::ExportAudio)->trigger();
            EXPECT_EQ(offered, dir.path() + "/") << row.name;
        }
        QFile file(target);
        const QByteArray start = file.open(QIODevice::ReadOnly) ? file.read(4) : QByteArray();
        if (!row.magic.isEmpty()) {
            EXPECT_EQ(start, row.magic) << row.name;
            EXPECT_GT(file.size(), 1000) << row.name;
            EXPECT_TRUE(sink.messages.empty()) << row.name;
        } else {
            EXPECT_EQ(start, row.cancelled ? QByteArray("old") : QByteArray()) << row.name;
            EXPECT_EQ(sink.messages.size(), row.cancelled ? 0u : 1u) << row.name;
        }
    }
}

} // namespace
