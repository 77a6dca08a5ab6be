#include "widgets/ApplicationDirectory.h"

QString g_applicationDirectory;
