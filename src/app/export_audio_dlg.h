#pragma once

#include "play/sound_file_writer.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QSpinBox;
struct PracticeControls;

// "Export Audio": the kind of file, and the speed and the metronome the
// music is played with, offered as the Practice menu has them.
class CExportAudioDlg : public QDialog {
    Q_OBJECT
public:
    explicit CExportAudioDlg(const PracticeControls& practice, QWidget* parent = nullptr);

    SoundFileKind kind() const;
    int speed() const;
    bool metronome() const;

private:
    QComboBox* m_kind;
    QSpinBox* m_speed;
    QCheckBox* m_metronome;
};

