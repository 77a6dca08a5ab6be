#pragma once

#include <QPoint>
#include <QSize>
#include <QString>
#include <QTimer>
#include <QWidget>

class QLabel;
class QPushButton;

// The caption of the frameless main window: logo, title area and the
// minimise, maximise/restore and close buttons. It paints its own rounded
// background, drags its parent window, toggles maximised/normal on a
// double-click and turns every button press into a signal; the window does
// the actual window work. It also keeps the geometry to restore to.
//
// Child object names: "logoLabel", "titleLabel", "minButton", "maxButton",
// "restoreButton", "closeButton".
class WinTitleBar : public QWidget {
    Q_OBJECT

public:
    explicit WinTitleBar(QWidget* parent);
    ~WinTitleBar() override;

    void setTitleBarColor(int red, int green, int blue, bool transparent);
    void setTitleIcon(const QString& filePath, const QSize& size);
    void saveRestoreInfo(const QPoint& position, const QSize& size);
    void getRestoreInfo(QPoint& position, QSize& size) const;
    // The text that onRollTitle scrolls through the title label.
    void setTitleText(const QString& text);
    // Shows a short status in the title area (the progress of a reply).
    void showStatusText(const QString& text);

signals:
    void signalButtonMinClicked();
    void signalButtonRestoreClicked();
    void signalButtonMaxClicked();
    void signalButtonCloseClicked();

private slots:
    void onButtonMinClicked();
    void onButtonRestoreClicked();
    void onButtonMaxClicked();
    void onButtonCloseClicked();
    void onRollTitle();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void buildBar();
    void setUpButton(QPushButton* button, const char* objectName, const char* imageName,
                     const QString& toolTip, const char* accessibleName);
    void connectButtons();
    bool isMaximised() const;
    void showMaximised(bool maximised);
    void paintBackground();
    void followParentWidth();

    QLabel* m_logoLabel;
    QLabel* m_titleLabel;
    QLabel* m_spareLabel;
    QPushButton* m_minButton;
    QPushButton* m_restoreButton;
    QPushButton* m_maxButton;
    QPushButton* m_closeButton;
    int m_red;
    int m_green;
    int m_blue;
    QPoint m_restorePosition;
    QSize m_restoreSize;
    bool m_dragging;
    QPoint m_dragAnchor;
    QTimer m_rollTimer;
    QString m_titleText;
    int m_maxRestoreMode;
    int m_widthMargin;
    bool m_transparent;
};
