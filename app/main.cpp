#include <QApplication>
#include <QIcon>

#include "app/Ventrix.h"
#include "widgets/ApplicationDirectory.h"
#include "widgets/ApplicationFont.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    g_applicationDirectory = QCoreApplication::applicationDirPath();
    QApplication::setWindowIcon(QIcon("exe.ico"));
    useApplicationFont();

    Ventrix window;
    window.show();
    return app.exec();
}
