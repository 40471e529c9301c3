#include "app/online_documentation.h"

#include "app/program_files.h"

void OnOnlineDocumentation(const UrlOpener& opener)
{
    opener(manualStartPage());
}
