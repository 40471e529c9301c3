// File > Export MIDI: where it writes, and that a file it cannot write is
// left as it was, with the reason said.
#include "app_fixture.h"

#include "app/command_table.h"

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

} // namespace
