#include "fake_midi_devices.h"
#include "recording_sink.h"

#include "app/midi_config_dlg.h"
#include "play/midi_session.h"

#include <QApplication>
#include <QComboBox>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const std::vector<MidiDeviceInfo> kSynthOnly{{-1, "Zolva Synthesizer (General MIDI)"}};

QStringList itemsOf(const QComboBox* list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->itemText(i);
    return items;
}

TEST(MidiConfigDlg, ListsTheSynthesizerWithoutPortsAndEveryInstrument)
{
    CMidiConfigDlg dialog(kSynthOnly, -1, 109);
    EXPECT_EQ(dialog.windowTitle(), "MIDI Configuration");
    EXPECT_EQ(itemsOf(dialog.deviceList()), QStringList{"Zolva Synthesizer (General MIDI)"});
    EXPECT_EQ(dialog.deviceList()->currentIndex(), 0);

    const QComboBox* instruments = dialog.instrumentList();
    ASSERT_EQ(instruments->count(), 128);
    EXPECT_EQ(instruments->itemText(0), "  1 - Acoustic Grand");
    EXPECT_EQ(instruments->itemText(8), "  9 - Celesta");
    EXPECT_EQ(instruments->itemText(21), " 22 - Accordion");
    EXPECT_EQ(instruments->itemText(23), " 24 - Tango Accordion");
    EXPECT_EQ(instruments->itemText(77), " 78 - Shakuhachi");
    EXPECT_EQ(instruments->itemText(127), "128 - Gunshot");
    EXPECT_EQ(instruments->currentText(), "109 - Kalimba");
    EXPECT_EQ(instruments->currentData().toInt(), 109);
}

TEST(MidiConfigDlg, DevicesSortedByNameAndAVanishedOneLeftUnselected)
{
    const std::vector<MidiDeviceInfo> devices{
        {-1, "Zolva Synthesizer (General MIDI)"}, {0, "midi Through"}, {1, "Keyboard Port"}};
    CMidiConfigDlg dialog(devices, 1, 9);
    EXPECT_EQ(itemsOf(dialog.deviceList()),
              (QStringList{"Keyboard Port", "midi Through", "Zolva Synthesizer (General MIDI)"}));
    EXPECT_EQ(dialog.deviceList()->currentData().toInt(), 1);

    CMidiConfigDlg gone(devices, 7, 300);
    EXPECT_EQ(gone.deviceList()->currentIndex(), -1);
    EXPECT_EQ(gone.instrumentList()->currentIndex(), -1);
}

TEST(MidiConfigDlg, OkWritesTheChoiceCancelWritesNothing)
{
    CleanSettings settings;
    const std::vector<MidiDeviceInfo> devices{{-1, "Zolva Synthesizer (General MIDI)"}, {0, "Port A"}};
    {
        CMidiConfigDlg dialog(devices, -1, 9);
        dialog.deviceList()->setCurrentIndex(dialog.deviceList()->findData(0));
        dialog.instrumentList()->setCurrentIndex(108);
        dialog.reject();
        EXPECT_EQ(CleanSettings::get("MidiDevice"), "");
        EXPECT_EQ(CleanSettings::get("MidiInstrument"), "");
    }
    {
        const std::vector<SoundInputDevice> inputs{{QString(), "Default input"}, {"mic-b", "Microphone B"}};
        CMidiConfigDlg dialog(devices, -1, 9, inputs);
        EXPECT_EQ(dialog.inputList()->currentText(), "Default input");
        dialog.deviceList()->setCurrentIndex(dialog.deviceList()->findData(0));
        dialog.instrumentList()->setCurrentIndex(108);
        dialog.inputList()->setCurrentIndex(dialog.inputList()->findData("mic-b"));
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(CleanSettings::get("MidiDevice"), "0");
        EXPECT_EQ(CleanSettings::get("MidiInstrument"), "109");
        EXPECT_EQ(CleanSettings::get("ListenDevice"), "mic-b");
    }
    {
        // A stored device or input that is gone stays stored when OK is pressed without a choice.
        CleanSettings::set("MidiDevice", "5");
        CMidiConfigDlg dialog(devices, 5, 9);
        dialog.accept();
        EXPECT_EQ(CleanSettings::get("MidiDevice"), "5");
        EXPECT_EQ(CleanSettings::get("ListenDevice"), "mic-b");
        EXPECT_EQ(CleanSettings::get("MidiInstrument"), "9");
    }
}

// Ends the modal dialog that is about to run, with OK or Cancel.
void answerDialog(bool ok)
{
    QTimer::singleShot(0, [ok] {
        auto* dialog = qobject_cast<CMidiConfigDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->instrumentList()->setCurrentIndex(107);
        ok ? dialog->accept() : dialog->reject();
    });
}

// The setup lists no inputs but the default.
struct NoInputs : SoundInputs {
    std::vector<SoundInputDevice> list() override { return {}; }
    std::unique_ptr<SoundInput> open(const QString&) override { return nullptr; }
};

TEST(MidiSetup, OkClosesAndReopensWithTheNewChoiceCancelLeavesTheOutput)
{
    NoInputs noInputs;
    CleanSettings settings;
    RecordingSink sink;
    FakeMidiDevices devices;
    MidiSession session(sink, devices);
    session.OpenMidiOutput();

    answerDialog(false);
    OnMidiSetup(session, noInputs, nullptr);
    EXPECT_EQ(devices.opened.size(), 1u);
    EXPECT_EQ(session.midiInstrument(), 9);

    answerDialog(true);
    OnMidiSetup(session, noInputs, nullptr);
    session.waitForOutput();
    ASSERT_EQ(devices.opened.size(), 2u);
    EXPECT_TRUE(devices.opened[0]->isClosed());
    EXPECT_EQ(devices.opened[0]->messages().size(), 16u); // the reset cut ringing notes
    EXPECT_EQ(session.midiOut() != nullptr, true);
    EXPECT_EQ(session.midiInstrument(), 108);
}

} // namespace
