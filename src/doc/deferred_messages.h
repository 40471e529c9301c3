#pragma once

#include "doc/message_sink.h"

#include <string>
#include <vector>

// Keeps the messages of work done on another thread, to be shown on the
// thread that owns the message boxes once the work is over. Such work asks
// nothing: a question is answered No.
class DeferredMessages : public MessageSink {
public:
    void showMessage(const std::string& text) override { m_texts.push_back(text); }
    bool askYesNo(const std::string&, const std::string& = {}) override { return false; }
    // Shows the kept messages through sink, in their order, and forgets them.
    void showThrough(MessageSink& sink);

private:
    std::vector<std::string> m_texts;
};
