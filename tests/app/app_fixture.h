#pragma once

#include "app/child_frame.h"
#include "app/document_registry.h"
#include "app/mainframe.h"
#include "app/zolva_app.h"
#include "doc/zolva_doc.h"
#include "fake_midi_devices.h"
#include "recording_sink.h"
#include "shell_fixture.h"
#include "url_recorder.h"
#include "app/zolva_view.h"
#include "xml/xpxml_node.h"

#include <QAction>
#include <QFile>
#include <QMdiArea>
#include <QTemporaryDir>

#include <string>
#include <vector>

// The whole program on the offscreen platform, with MIDI going to recorders:
// music files written for the test, opened as a user would open them.
class AppTest : public ShellTest {
protected:
    AppTest() : app(sink, devices, urls.opener())
    {
        app.setProgramFolder(dir.path() + "/program/");
        set("PlayDelay", "0");
    }

    // A music file of seventeen tines, notes following the Notes element's opening tag.
    static QByteArray music(const std::string& notes)
    {
        return QByteArray("<?xml version=\"1.0\"?><Zolva Version=\"1.0.14\"><Config><MIDI/>"
                          "<Tines Number=\"17\" NoteValues=\"86,83,79,76,72,69,65,62,60,64,67,71,74,77,81,84,88\"/>"
                          "</Config><Notes>") +
               QByteArray::fromStdString(notes) + "</Notes></Zolva>";
    }
    // Writes notes to name in the test's folder; its path, empty on failure.
    QString write(const QString& name, const std::string& notes)
    {
        const QString path = dir.path() + "/" + name;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(music(notes)) < 0)
            return QString();
        return path;
    }
    // Starts the program with notes open in the active window.
    CZolvaView* start(const std::string& notes)
    {
        const QString path = write("piece.zvm", notes);
        if (path.isEmpty() || !app.StartUp({path}) || !frame()->activeChild())
            return nullptr;
        return frame()->activeChild()->view();
    }
    // Opens another file of notes in a window of its own, made active.
    CZolvaView* open(const QString& name, const std::string& notes)
    {
        const QString path = write(name, notes);
        if (path.isEmpty() || !app.OpenDocumentFile(path) || !frame()->activeChild())
            return nullptr;
        return frame()->activeChild()->view();
    }
    CMainFrame* frame() const { return app.mainFrame(); }
    QAction* command(int id) const { return frame()->commandAction(id); }

    // The keys of the notes sounded on the output opened last.
    std::vector<int> soundedKeys() const { return keysOf(devices.opened.back()->messages(), 0); }
    // The keys sounded on any output since the last call.
    std::vector<int> heard()
    {
        std::vector<int> keys;
        for (size_t i = 0; i < devices.opened.size(); ++i) {
            const std::vector<RecordedMidiMessage> messages = devices.opened[i]->messages();
            const size_t seen = i < m_seen.size() ? m_seen[i] : 0;
            const std::vector<int> fresh = keysOf(messages, seen);
            keys.insert(keys.end(), fresh.begin(), fresh.end());
            m_seen.resize(std::max(m_seen.size(), i + 1));
            m_seen[i] = messages.size();
        }
        return keys;
    }
    // The element at index in view's note list.
    static XPxmlNode* element(CZolvaView* view, int index)
    {
        XPxmlNode* node = view->document().firstEvent();
        for (int i = 0; node && i < index; ++i)
            node = node->nextElementSibling();
        return node;
    }

    QTemporaryDir dir;
    RecordingSink sink;
    FakeMidiDevices devices;
    UrlRecorder urls;
    CZolvaApp app;

private:
    static std::vector<int> keysOf(const std::vector<RecordedMidiMessage>& messages, size_t from)
    {
        std::vector<int> keys;
        for (size_t i = from; i < messages.size(); ++i) {
            const MidiMessage m = messages[i].message;
            if ((midiStatus(m) & 0xF0) == 0x90 && midiData2(m) > 0)
                keys.push_back(midiData1(m));
        }
        return keys;
    }

    std::vector<size_t> m_seen;
};
