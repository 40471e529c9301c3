#pragma once

#include "app/url_opener.h"

// The Online Documentation command (id 32837): opens the user manual that is
// shipped with the program, through opener.
inline constexpr int kOnlineDocumentationCommand = 32837;
void OnOnlineDocumentation(const UrlOpener& opener);
