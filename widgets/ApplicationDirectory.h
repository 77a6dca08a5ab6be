#pragma once

#include <QString>

// Directory of the running executable. Empty until the entry function assigns
// QCoreApplication::applicationDirPath() to it, before any window is built;
// the title bar finds its images below it.
extern QString g_applicationDirectory;
