#include "app/StandardOutput.h"

#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

void keepStdoutLineEndings() {
#ifdef _WIN32
    // A windowed program started without a console has no standard output.
    const int descriptor = _fileno(stdout);
    if (descriptor >= 0) {
        _setmode(descriptor, _O_BINARY);
    }
#endif
}
