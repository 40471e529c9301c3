#include "musicxml_text.h"

std::string xmlNote(const char* step, int octave, int duration, const char* type, const std::string& after,
                    const std::string& before)
{
    return "<note>" + before + "<pitch><step>" + step + "</step><octave>" + std::to_string(octave) +
           "</octave></pitch><duration>" + std::to_string(duration) + "</duration><voice>1</voice><type>" + type +
           "</type>" + after + "</note>";
}

std::string xmlRest(int duration)
{
    return "<note><rest/><duration>" + std::to_string(duration) + "</duration><voice>1</voice></note>";
}

std::string xmlScore(const std::vector<std::string>& measures, const std::string& head)
{
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<!DOCTYPE score-partwise PUBLIC \"-//Recordare//DTD MusicXML 4.0 Partwise//EN\" "
                       "\"http://www.musicxml.org/dtds/partwise.dtd\">\n"
                       "<score-partwise version=\"4.0\">" +
                       head + "<part-list><score-part id=\"P1\"><part-name>Melody</part-name></score-part></part-list>"
                              "<part id=\"P1\">";
    for (size_t i = 0; i < measures.size(); ++i) {
        text += "<measure number=\"" + std::to_string(i + 1) + "\">";
        if (i == 0 && measures[i].find("<attributes>") == std::string::npos)
            text += "<attributes><divisions>12</divisions><time><beats>4</beats><beat-type>4</beat-type></time>"
                    "</attributes>";
        text += measures[i] + "</measure>";
    }
    return text + "</part></score-partwise>\n";
}
