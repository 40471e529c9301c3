#pragma once

#include "play/midi_output.h"
#include "play/midi_recorder.h"

#include <QSettings>

#include <functional>
#include <memory>
#include <set>
#include <vector>

// Devices for tests: each open hands out a recorder that stays readable after
// the session has closed and released it.
class FakeMidiDevices : public MidiDevices {
public:
    std::vector<MidiDeviceInfo> devices{{-1, "Zolva Synthesizer (General MIDI)"}};
    std::set<int> failing;        // ids whose open fails
    std::vector<int> openedIds;   // every id asked for, in order
    std::vector<std::shared_ptr<MidiRecorder>> opened;
    // Runs as an output begins to close (a sound server that takes its time).
    std::function<void()> whileClosing;

    std::vector<MidiDeviceInfo> list() override { return devices; }
    std::unique_ptr<MidiOutput> open(int id) override
    {
        openedIds.push_back(id);
        if (failing.count(id))
            return nullptr;
        opened.push_back(std::make_shared<MidiRecorder>());
        return std::make_unique<Handle>(opened.back(), *this);
    }

private:
    // Passes everything on to a recorder the test keeps.
    class Handle : public MidiOutput {
    public:
        Handle(std::shared_ptr<MidiRecorder> recorder, FakeMidiDevices& devices)
            : m_recorder(std::move(recorder)), m_devices(devices)
        {
        }
        void setVolume(uint32_t volume) override { m_recorder->setVolume(volume); }
        void send(MidiMessage message) override { m_recorder->send(message); }
        void close() override
        {
            if (m_devices.whileClosing)
                m_devices.whileClosing();
            m_recorder->close();
        }
        void prepareProgram(int program) override { m_recorder->prepareProgram(program); }

    private:
        std::shared_ptr<MidiRecorder> m_recorder;
        FakeMidiDevices& m_devices;
    };
};

// Clears the program's settings before and after each test that uses it.
struct CleanSettings {
    CleanSettings() { clear(); }
    ~CleanSettings() { clear(); }
    static void clear() { QSettings("Zolva", "Zolva Reader").remove("Settings"); }
    static void set(const char* key, const char* text)
    {
        QSettings("Zolva", "Zolva Reader").setValue(QString("Settings/") + key, QString(text));
    }
    static QString get(const char* key)
    {
        return QSettings("Zolva", "Zolva Reader").value(QString("Settings/") + key).toString();
    }
};
