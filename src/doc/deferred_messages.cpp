#include "doc/deferred_messages.h"

#include <utility>

void DeferredMessages::showThrough(MessageSink& sink)
{
    for (const std::string& text : std::exchange(m_texts, {}))
        sink.showMessage(text);
}
