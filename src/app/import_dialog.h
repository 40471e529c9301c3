#pragma once

#include "import/chord_timeline.h"
#include "import/imported_piece.h"
#include "import/tablature_builder.h"

#include <QDialog>
#include <QString>

#include <vector>

class QComboBox;
class QTreeWidget;

// A kalimba the player may fit an imported piece to.
struct TineChoice {
    QString label; // "17-tine kalimba in C", "Tines of ode_to_joy.zvm"
    KalimbaTines tines;
};

// The import dialog: the file's tracks, channels or parts with notes (name,
// instrument, note count, lowest and highest note), the kalimba to fit them
// to and how to read the rhythm ("As played" or "Simplified"). The likeliest
// melody for the chosen tines is selected; Enter opens it.
class ImportDialog : public QDialog {
    Q_OBJECT
public:
    ImportDialog(const QString& fileName, const ImportedPiece& piece, const std::vector<TineChoice>& tines,
                 int tineChoice, ImportRhythm rhythm, QWidget* parent = nullptr);

    int voice() const;
    int tineChoice() const;
    ImportRhythm rhythm() const;
    QTreeWidget* voiceList() const { return m_voices; }
    QComboBox* tineBox() const { return m_tines; }
    QComboBox* rhythmBox() const { return m_rhythm; }

private:
    void selectLikeliest();

    const ImportedPiece& m_piece;
    const std::vector<TineChoice>& m_choices;
    QTreeWidget* m_voices;
    QComboBox* m_tines;
    QComboBox* m_rhythm;
};

// "C4", "F#5": a key number as a note name.
QString keyName(int key);
