#pragma once

// Opens the maker's web site in the desktop's browser; the result is ignored. Shared by the
// banner bar and the About box.
void OpenWebSite();
