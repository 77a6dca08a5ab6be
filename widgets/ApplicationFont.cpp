#include "widgets/ApplicationFont.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>

void useApplicationFont() {
    const QStringList installed = QFontDatabase().families();
    for (const char* family : {"Liberation Sans Narrow", "Arial Narrow"}) {
        if (installed.contains(QLatin1String(family))) {
            QFont font = QApplication::font();
            font.setFamily(QLatin1String(family));
            QApplication::setFont(font);
            return;
        }
    }
}
