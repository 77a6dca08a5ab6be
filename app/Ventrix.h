#pragma once

#include <QWidget>

class SerialWidget;
class WinTitleBar;

// The frameless main window: the title bar above the serial panel. The bar
// reports button presses and double-clicks; the window does the window work.
class Ventrix : public QWidget {
    Q_OBJECT

public:
    explicit Ventrix(QWidget* parent = nullptr);
    ~Ventrix() override;

public slots:
    void onButtonMinClicked();
    void onButtonRestoreClicked();
    void onButtonMaxClicked();
    void onButtonCloseClicked();

private slots:
    // What the panel's link is doing, shown in the title area.
    void onPanelStatusText(const QString& text);

private:
    void createTitleBar();
    void connectTitleBar();

    WinTitleBar* m_titleBar = nullptr;
    SerialWidget* m_panel = nullptr;
};
