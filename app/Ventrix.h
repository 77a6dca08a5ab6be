#ifndef VENTRIX_APP_VENTRIX_H
#define VENTRIX_APP_VENTRIX_H

#include <QWidget>

class SerialWidget;
class WinTitleBar;

// The frameless main window: the title bar above the serial panel.
class Ventrix : public QWidget {
    Q_OBJECT

public:
    explicit Ventrix(QWidget* parent = nullptr);
    ~Ventrix() override;

private:
    WinTitleBar* m_titleBar = nullptr;
    SerialWidget* m_panel = nullptr;
};

#endif
