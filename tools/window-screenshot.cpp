// Renders the main window offscreen and saves it as a PNG, so the picture in
// the README can be made again after any change of the user interface.
#include <QApplication>
#include <QPixmap>
#include <QTextStream>
#include <QTimer>

#include "app/Ventrix.h"
#include "widgets/ApplicationDirectory.h"
#include "widgets/ApplicationFont.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: window-screenshot OUT.png\n";
        return 2;
    }
    g_applicationDirectory = QCoreApplication::applicationDirPath();
    useApplicationFont();

    // The picture shows the window without a detector, whatever ports this
    // machine has; the search then ends in "Device not found!", closed at once.
    if (!qEnvironmentVariableIsSet("VENTRIX_SYSTEM_PORTS")) {
        qputenv("VENTRIX_SYSTEM_PORTS", "");
    }
    QTimer closeMessageBoxes;
    QObject::connect(&closeMessageBoxes, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
    });
    closeMessageBoxes.start(10);

    Ventrix window;
    window.resize(1000, 640);
    window.show();
    QApplication::processEvents();
    if (!window.grab().save(QString::fromLocal8Bit(argv[1]))) {
        QTextStream(stderr) << "window-screenshot: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
