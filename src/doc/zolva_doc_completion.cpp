// Completing a loaded tree: default content, the version check and the cached
// elements every view reads.
#include "doc/zolva_doc.h"

#include "doc/message_sink.h"
#include "doc/music_upgrade.h"
#include "doc/music_version.h"
#include "doc/music_vocabulary.h"
#include "xml/xpxml_node.h"

#include <QFileInfo>

#include <algorithm>
#include <memory>

namespace {

XPxmlNode* firstChildNamed(XPxmlNode* parent, const char* name)
{
    return parent ? parent->findChild(name) : nullptr;
}

XPxmlNode* appendElement(XPxmlNode* parent, const char* name)
{
    return parent->createChild(XPxmlList::AtEnd, name);
}

void appendAutoBar(XPxmlNode* noteList)
{
    XPxmlNode* bar = appendElement(noteList, MusicElement::Bar);
    bar->setAttribute(MusicAttr::Type, MusicValue::Auto);
    bar->setAttribute(MusicAttr::Timing, MusicValue::CommonTime);
}

// Four bars of four quarter notes on no tine: something to look at and to
// start from when a file holds no music.
void fillDefaultMusic(XPxmlNode* noteList)
{
    constexpr int kNotes = 16;
    constexpr int kNotesPerBar = 4;
    for (int i = 0; i < kNotes; ++i) {
        if (i % kNotesPerBar == 0)
            appendAutoBar(noteList);
        XPxmlNode* note = appendElement(noteList, MusicElement::Note);
        note->setAttribute(MusicAttr::Value, "4");
        note->setAttribute(MusicAttr::Tines, "");
    }
    appendAutoBar(noteList);
}

void renameOldTails(XPxmlNode* displayOptions)
{
    const char* tails = displayOptions ? displayOptions->getAttribute(MusicAttr::Tails) : nullptr;
    if (!tails)
        return;
    if (xpxmlNameEquals(tails, MusicValue::OldModern))
        displayOptions->setAttribute(MusicAttr::Tails, MusicValue::Modern);
    else if (xpxmlNameEquals(tails, MusicValue::OldMinimal))
        displayOptions->setAttribute(MusicAttr::Tails, MusicValue::Minimal);
}


int countOf(const std::string& text, char c)
{
    return int(std::count(text.begin(), text.end(), c));
}

} // namespace

bool CZolvaDoc::completeDocument()
{
    XPxmlNode* root = m_tree.rootElement();
    if (!root)
        return false;
    root->setName(MusicElement::Root);

    findCachedElements();
    addMissingElements();
    if (!m_noteList->firstElementChild())
        fillDefaultMusic(m_noteList);
    readTineSettings();

    const bool versionAccepted = checkVersion();
    root->setAttribute(MusicAttr::Version, programVersion().c_str());
    modernizeTails();
    return versionAccepted;
}

void CZolvaDoc::findCachedElements()
{
    XPxmlNode* root = m_tree.rootElement();
    m_config = firstChildNamed(root, MusicElement::Config);
    m_midi = firstChildNamed(m_config, MusicElement::Midi);
    m_tineSettings = firstChildNamed(m_config, MusicElement::TineSettings);
    m_screenOptions = firstChildNamed(m_config, MusicElement::ScreenOptions);
    m_printOptions = firstChildNamed(m_config, MusicElement::PrintOptions);
    m_options = firstChildNamed(m_config, MusicElement::Options);
    m_author = firstChildNamed(m_config, MusicElement::Author);
    m_noteList = firstChildNamed(root, MusicElement::NoteList);
    m_tineList = firstChildNamed(root, MusicElement::TineList);
}

void CZolvaDoc::addMissingElements()
{
    XPxmlNode* root = m_tree.rootElement();
    // A file without settings still opens: every view relies on these.
    if (!m_config)
        m_config = root->createChild(XPxmlList::AtFront, MusicElement::Config);
    if (!m_screenOptions)
        m_screenOptions = appendElement(m_config, MusicElement::ScreenOptions);

    if (!m_printOptions) {
        std::unique_ptr<XPxmlNode> print(m_screenOptions->clone(true));
        print->setName(MusicElement::PrintOptions);
        m_config->appendChild(print.get());
        m_printOptions = print.release();
    }
    if (!m_options)
        m_options = appendElement(m_config, MusicElement::Options);
    if (!m_author) {
        m_author = appendElement(m_config, MusicElement::Author);
        for (const char* name : {MusicAttr::Author, MusicAttr::Title, MusicAttr::Arranger,
                                 MusicAttr::CopyRight, MusicAttr::ReadOnly})
            m_author->setAttribute(name, "");
    }
    if (!m_noteList)
        m_noteList = appendElement(root, MusicElement::NoteList);
    if (!m_tineList)
        m_tineList = appendElement(root, MusicElement::TineList);
}

void CZolvaDoc::readTineSettings()
{
    m_shadeText.assign(MusicDefault::ShadeLength, '0');
    m_tineCount = 0;
    if (!m_tineSettings)
        return;
    long number = 0;
    m_tineSettings->getAttributeNumber(MusicAttr::Number, &number);
    // The count sizes every per-tine table of the views.
    m_tineCount = int(std::clamp<long>(number, 0, kMaxTineCount));
    m_shadeText.clear();
    m_tineSettings->getAttributeCopy(MusicAttr::Shade, m_shadeText);
    if (m_shadeText.size() > size_t(MusicDefault::ShadeLength))
        m_shadeText.resize(MusicDefault::ShadeLength);
}

bool CZolvaDoc::checkVersion()
{
    XPxmlNode* root = m_tree.rootElement();
    std::string version;
    if (root)
        root->getAttributeCopy(MusicAttr::Version, version);
    if (countOf(version, '.') == 1)
        version = MusicValue::UpgradeVersion;

    if (version != MusicValue::AnyVersion) {
        const int order = compareVersions(version.c_str(), programVersion().c_str());
        if (order == 0)
            return true;
        if (order > 0) {
            m_messages.showMessage("This file was created with a newer version of the Zolva program.");
            return false;
        }
    }
    if (version != MusicValue::UpgradeVersion)
        return true;
    if (!m_messages.askYesNo("This file was created with an older version of the Zolva program.\n"
                             "Would you like to upgrade the file?",
                             QFileInfo(m_path).fileName().toStdString()))
        return false;
    upgradeOldMusic(m_screenOptions, m_printOptions, m_options, m_noteList);
    return true;
}

void CZolvaDoc::modernizeTails()
{
    renameOldTails(m_screenOptions);
    renameOldTails(m_printOptions);
    m_tailsStyle = tailsStyleOf(m_screenOptions);
}

int tailsStyleOf(const XPxmlNode* displayOptions)
{
    const char* tails = displayOptions ? displayOptions->getAttribute(MusicAttr::Tails) : nullptr;
    if (tails && xpxmlNameEquals(tails, MusicValue::Modern))
        return 1;
    if (tails && xpxmlNameEquals(tails, MusicValue::Minimal))
        return 2;
    return 3;
}
