#pragma once

#include "doc/background_load.h"
#include "xml/xpxml_doc.h"

#include <QObject>
#include <QString>

#include <string>
#include <utility>

class MessageSink;
class XPxmlNode;

// The note style an options element's "Tails" names: 1 modern, 2 minimal,
// 3 tailed (also when it is absent or unknown).
int tailsStyleOf(const XPxmlNode* displayOptions);

// How an open ended. A failure has been reported; a cancelling, the
// player's own doing, has not.
enum class OpenOutcome { Opened, Cancelled, Failed };

// A music document: the element tree of one music file, completed with default
// content, with cached pointers to the elements every view reads and the
// values derived from them. Documents are only read: nothing here writes a
// file, and the music file is never opened for writing.
class CZolvaDoc : public QObject {
    Q_OBJECT

public:
    static constexpr int kMaxTineCount = 100;

    explicit CZolvaDoc(MessageSink& messages, QObject* parent = nullptr);
    ~CZolvaDoc() override;

    // Loads the file at path, completes the tree and clears its modified flags.
    // Failed, after a message, when the file cannot be loaded, has no root
    // element, is newer than the program, the user declines its upgrade or
    // memory runs out (the tree then left empty); Cancelled, with the tree
    // left empty, when the player cancels the reading.
    OpenOutcome openDocument(const QString& path);
    // How openDocument reads the file: in place unless set.
    void setBackgroundLoad(BackgroundLoad load) { m_load = std::move(load); }
    // Completes a tree that an importer has built in tree() from the file at
    // path, as openDocument completes a loaded one, and marks the document as
    // imported: it is held in memory only, like an upgraded file. False when
    // the tree has no root element, completeDocument fails or memory runs out.
    bool openBuiltTree(const QString& path);
    // Makes this document a copy of other as other stands, its path and
    // working attributes included: for work that lays the music out apart
    // from other's windows, or reads it on another thread while they change
    // theirs. False, the tree left empty, when other holds no tree or memory
    // runs out.
    bool copyFrom(const CZolvaDoc& other);
    QString pathName() const { return m_path; }
    // Whether the music came from another kind of file than a music file.
    bool isImported() const { return m_imported; }

    // Fills in what a loaded tree lacks, runs checkVersion and sets the
    // cached elements and derived values. False when checkVersion fails; the
    // tree is completed either way. Needs a root element.
    bool completeDocument();
    // Compares the root's "Version" with the program's; asks to upgrade a file
    // from before bar elements and upgrades it on Yes. False for a newer file
    // or a declined upgrade.
    bool checkVersion();

    XPxmlDoc& tree() { return m_tree; }
    const XPxmlDoc& tree() const { return m_tree; }

    // Cached elements, set by completeDocument and never removed afterwards.
    XPxmlNode* configElement() const { return m_config; }
    XPxmlNode* midiElement() const { return m_midi; }          // may be null
    XPxmlNode* tineSettings() const { return m_tineSettings; } // may be null
    XPxmlNode* screenOptions() const { return m_screenOptions; }
    XPxmlNode* printOptions() const { return m_printOptions; }
    XPxmlNode* optionsElement() const { return m_options; }
    XPxmlNode* authorElement() const { return m_author; }
    XPxmlNode* tineList() const { return m_tineList; }

    // The tine settings' "Number", limited to 0 … kMaxTineCount; 0 without them.
    int tineCount() const { return m_tineCount; }
    // "1" marks a shaded tine; 200 "0"s when there are no tine settings.
    const std::string& shadeText() const { return m_shadeText; }
    // 1 for "Modern" tails, 2 for "Minimal", 3 for anything else.
    int tailsStyle() const { return m_tailsStyle; }

    // The root's first child named "Notes", looked up anew on every call.
    XPxmlNode* noteList() const;
    // First and last element child of the note list, or null.
    XPxmlNode* firstEvent() const;
    XPxmlNode* lastEvent() const;
    // Puts event into the note list before reference, or behind it when after
    // is set. False, leaving event with the caller, without a reference in
    // the note list.
    bool insertEvent(XPxmlNode* reference, bool after, XPxmlNode* event);

    // Whether a view has timed the music's bars (inserting and removing
    // automatic bars). Later views only lay the music out: timing it again
    // could remove bars that other windows' cursors or a playback thread hold.
    bool barsTimed() const { return m_barsTimed; }
    void setBarsTimed() { m_barsTimed = true; }
    // The scale the working positions ("~Pos") were last laid out at, 0
    // before any layout. The positions are shared: a view zoomed differently
    // from the one that laid them out must lay the music out again first.
    double positionsScale() const { return m_positionsScale; }
    void setPositionsScale(double scale) { m_positionsScale = scale; }

    // Whether the music changed; working attributes ("~…") never count.
    bool isModified() const { return m_tree.isModified(); }
    // The shell's own flag, kept apart from what isModified reports.
    void setModifiedFlag(bool modified) { m_modifiedFlag = modified; }
    bool modifiedFlag() const { return m_modifiedFlag; }
    // Save and Save As stay disabled: music documents are only read.
    static constexpr bool canSave() { return false; }

    QString title() const { return m_title; }
    void setTitle(const QString& title);

signals:
    void titleChanged(const QString& title);

private:
    // Where an open ends when memory runs out: the tree emptied, then
    // "Out of memory loading PATH" shown; false.
    bool outOfMemory();
    void findCachedElements();
    void addMissingElements();
    void readTineSettings();
    void modernizeTails();

    MessageSink& m_messages;
    XPxmlDoc m_tree;
    QString m_path;
    QString m_title;
    bool m_imported = false;
    BackgroundLoad m_load = loadInPlace;
    bool m_modifiedFlag = false;
    bool m_barsTimed = false;
    double m_positionsScale = 0.0;

    XPxmlNode* m_config = nullptr;
    XPxmlNode* m_midi = nullptr;
    XPxmlNode* m_tineSettings = nullptr;
    XPxmlNode* m_screenOptions = nullptr;
    XPxmlNode* m_printOptions = nullptr;
    XPxmlNode* m_options = nullptr;
    XPxmlNode* m_author = nullptr;
    XPxmlNode* m_noteList = nullptr;
    XPxmlNode* m_tineList = nullptr;

    int m_tineCount = 0;
    std::string m_shadeText;
    int m_tailsStyle = 3;
};
