#include "doc/background_load.h"

bool loadInPlace(const QString&, const std::function<void(WorkProgress&)>& work)
{
    WorkProgress progress;
    work(progress);
    return true;
}
