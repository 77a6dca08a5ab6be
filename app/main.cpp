#include <QApplication>
#include <QIcon>

#include "app/StandardOutput.h"
#include "app/Ventrix.h"
#include "widgets/ApplicationDirectory.h"
#include "widgets/ApplicationFont.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

int main(int argc, char* argv[]) {
#ifdef Q_OS_WIN
    // The installer and the uninstaller will not go on while this mutex
    // exists; its handle stays open until the process ends.
    CreateMutexW(nullptr, FALSE, L"Global\\ventrix-running");
#endif
    keepStdoutLineEndings();
    QApplication app(argc, argv);
    g_applicationDirectory = QCoreApplication::applicationDirPath();
    QApplication::setWindowIcon(QIcon("exe.ico"));
    useApplicationFont();

    Ventrix window;
    window.show();
    return app.exec();
}
