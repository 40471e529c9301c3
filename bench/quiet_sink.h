#pragma once

#include "doc/message_sink.h"

#include <iostream>
#include <string>

// Messages go to the error stream, where a benchmark run shows them; every
// question is answered yes.
class QuietSink : public MessageSink {
public:
    void showMessage(const std::string& text) override { std::cerr << text << '\n'; }
    bool askYesNo(const std::string&, const std::string&) override { return true; }
};
