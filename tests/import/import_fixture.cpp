#include "import_fixture.h"

#include "doc/message_sink.h"
#include "doc/music_vocabulary.h"
#include "xml/xpxml_node.h"

namespace {

class Recorder : public MessageSink {
public:
    explicit Recorder(std::vector<std::string>& messages) : m_messages(messages) {}
    void showMessage(const std::string& text) override { m_messages.push_back(text); }
    bool askYesNo(const std::string&, const std::string&) override { return true; }

private:
    std::vector<std::string>& m_messages;
};

std::string attr(const XPxmlNode* element, const char* name)
{
    const char* value = element->getAttribute(name);
    return value ? value : "";
}

void describeBar(const XPxmlNode* bar, std::string& out)
{
    out += '|';
    const std::string timing = attr(bar, MusicAttr::Timing);
    if (!timing.empty() && timing[0] == 'M')
        out += timing;
    for (const auto& [name, prefix] : {std::pair{MusicAttr::Tempo, " T"}, {MusicAttr::Modifier, " "},
                                       {MusicAttr::RepeatCount, " x"}}) {
        const std::string value = attr(bar, name);
        if (!value.empty())
            out += prefix + value;
    }
    if (attr(bar, MusicAttr::Type) == MusicValue::Manual)
        out += " manual";
}

void describeNote(const XPxmlNode* note, std::string& out)
{
    const bool rest = xpxmlNameEquals(note->name(), MusicElement::Rest);
    out += (rest ? "r" : "") + attr(note, MusicAttr::Value);
    if (!rest)
        out += '[' + attr(note, MusicAttr::Tines) + ']';
    out += attr(note, MusicAttr::Tuplet);
    if (note->getAttribute(MusicAttr::Tie))
        out += '~';
    if (note->getAttribute(MusicAttr::Tempo))
        out += " T" + attr(note, MusicAttr::Tempo);
    if (note->getAttribute(MusicAttr::Text))
        out += " '" + attr(note, MusicAttr::Text) + "'";
}

} // namespace

std::string Imported::music() const
{
    XPxmlNode* root = tree->rootElement();
    const XPxmlNode* list = root ? root->findChild(MusicElement::NoteList) : nullptr;
    std::string out;
    for (const XPxmlNode* e = list ? list->firstElementChild() : nullptr; e; e = e->nextElementSibling()) {
        if (!out.empty())
            out += ' ';
        if (xpxmlNameEquals(e->name(), MusicElement::Bar))
            describeBar(e, out);
        else
            describeNote(e, out);
    }
    return out;
}

std::string Imported::config(const char* element, const char* attribute) const
{
    XPxmlNode* root = tree->rootElement();
    XPxmlNode* config = root ? root->findChild(MusicElement::Config) : nullptr;
    const XPxmlNode* found = config ? config->findChild(element) : nullptr;
    return found ? attr(found, attribute) : "";
}

Imported importBytes(std::vector<char> bytes, const ImportChoice& choice, const std::string& path)
{
    Imported imported;
    Recorder sink(imported.messages);
    const SourceKind kind = sourceKindOf(bytes.data(), bytes.size(), path);
    imported.ok = readImportedPiece(kind, bytes, path, sink, imported.piece) &&
                  buildImportedMusic(*imported.tree, imported.piece, choice, path, sink, imported.outcome);
    return imported;
}

Imported importText(const std::string& text, const ImportChoice& choice)
{
    return importBytes(std::vector<char>(text.begin(), text.end()), choice);
}
