#pragma once

#include <QAbstractButton>

class QTimer;

// A round indicator lamp drawn in code. It is a checkable button: checked is
// lit, unchecked is dark, and blinking is a timer toggling the checked flag.
// Mouse presses are swallowed, so only setState changes what it shows.
class QSimpleLed : public QAbstractButton {
    Q_OBJECT

public:
    enum { kPaletteSize = 7, kGreyIndex = 6 };

    QSimpleLed(QWidget* parent, int colorIndex);
    ~QSimpleLed() override;

    // 0 off (grey, dark), 1 green, 2 red, 3 amber (lit), 4 blink in the
    // current colour. Any other number is reported and ignored.
    void setState(int state);

    int state() const { return m_state; }
    int colorIndex() const { return m_colorIndex; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private slots:
    void onBlinkTimerTimeout();

private:
    void applySteady(bool lit, int colorIndex, int state);
    void startBlinking();

    int m_state;
    int m_colorIndex;
    QTimer* m_blinkTimer;
    int m_blinkInterval;
};
