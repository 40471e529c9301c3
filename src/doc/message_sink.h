#pragma once

#include <string>

// Where code below the user interface shows its messages. The application
// answers with message boxes; tests answer with a recorder. Texts are 8-bit,
// as the music files are.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    // A message with an OK button.
    virtual void showMessage(const std::string& text) = 0;
    // A question with Yes and No buttons: true for Yes. fileName, when
    // given, is the file the question is about (the box names it).
    virtual bool askYesNo(const std::string& text, const std::string& fileName = {}) = 0;
};

// printf-style formatting of a message text ("Error %ld reading %s").
std::string formatMessage(const char* format, ...)
#if defined(__GNUC__) || defined(__clang__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
