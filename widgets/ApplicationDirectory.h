#ifndef VENTRIX_WIDGETS_APPLICATIONDIRECTORY_H
#define VENTRIX_WIDGETS_APPLICATIONDIRECTORY_H

#include <QString>

// The executable's directory, set once by the entry function before any
// window is built; image files are looked up below it.
extern QString g_applicationDirectory;

#endif
