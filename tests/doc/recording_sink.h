#pragma once

#include "doc/message_sink.h"

#include <functional>
#include <string>
#include <vector>

// Keeps every message and question and answers questions as told.
class RecordingSink : public MessageSink {
public:
    explicit RecordingSink(bool answerYes = true) : m_answerYes(answerYes) {}

    void showMessage(const std::string& text) override
    {
        messages.push_back(text);
        if (whileShowing)
            whileShowing(); // what a real message box does meanwhile, such as running events
    }
    bool askYesNo(const std::string& text, const std::string& fileName) override
    {
        questions.push_back(text);
        questionFiles.push_back(fileName);
        if (whileAsking)
            whileAsking();
        return m_answerYes;
    }

    std::vector<std::string> messages;
    std::vector<std::string> questions;
    std::vector<std::string> questionFiles;
    std::function<void()> whileShowing;
    std::function<void()> whileAsking; // after the question is recorded

private:
    bool m_answerYes;
};
