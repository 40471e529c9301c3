#pragma once

#include "doc/message_sink.h"

// The messages of the code below the windows, as the program's message boxes:
// caption "Zolva Reader", the warning icon, over the active window. Their text
// is bytes of the music files and paths, shown as the views show such text.
class MessageBoxSink : public MessageSink {
public:
    void showMessage(const std::string& text) override;
    bool askYesNo(const std::string& text, const std::string& fileName) override;
};
