#pragma once

#include "doc/message_sink.h"

// Shows nothing and answers every question the same.
class QuietSink : public MessageSink {
public:
    explicit QuietSink(bool answer = true) : m_answer(answer) {}
    void showMessage(const std::string&) override {}
    bool askYesNo(const std::string&, const std::string&) override { return m_answer; }

private:
    bool m_answer;
};
