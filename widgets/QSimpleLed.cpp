#include "widgets/QSimpleLed.h"

#include <QDebug>
#include <QPainter>
#include <QRadialGradient>
#include <QTimer>

namespace {

// Gradient stops per palette row: lit 0.0, lit 1.0, dark 0.0, dark 1.0.
struct LedColours {
    QRgb litStart;
    QRgb litEnd;
    QRgb darkStart;
    QRgb darkEnd;
};

const LedColours kPalette[QSimpleLed::kPaletteSize] = {
    {qRgb(0, 0, 0), qRgb(0, 0, 0), qRgb(0, 0, 0), qRgb(0, 0, 0)},                    // black
    {qRgb(255, 0, 0), qRgb(210, 0, 0), qRgb(28, 0, 0), qRgb(128, 0, 0)},             // red
    {qRgb(0, 255, 0), qRgb(0, 191, 0), qRgb(0, 28, 0), qRgb(0, 128, 0)},             // green
    {qRgb(0, 0, 255), qRgb(0, 0, 191), qRgb(0, 0, 28), qRgb(0, 0, 128)},             // blue
    {qRgb(255, 130, 30), qRgb(235, 100, 0), qRgb(28, 28, 0), qRgb(128, 128, 0)},     // amber
    {qRgb(255, 165, 0), qRgb(255, 113, 1), qRgb(20, 8, 5), qRgb(99, 39, 24)},        // orange
    {qRgb(0, 0, 0), qRgb(128, 128, 128), qRgb(128, 128, 128), qRgb(250, 250, 250)},  // grey
};

const QRgb kBezelLight = qRgb(224, 224, 224);
const QRgb kBezelDark = qRgb(28, 28, 28);

// The lamp is drawn in a logical square from -500 to +500 on each axis.
constexpr double kGradientRadius = 1500.0;
constexpr double kOuterRadius = 500.0;
constexpr double kInnerRadius = 450.0;
constexpr int kLensRadius = 400;

QRadialGradient gradient(const QPointF& centre, QRgb start, QRgb end) {
    QRadialGradient g(centre, kGradientRadius, centre);
    g.setColorAt(0.0, QColor(start));
    g.setColorAt(1.0, QColor(end));
    return g;
}

}  // namespace

QSimpleLed::QSimpleLed(QWidget* parent, int colorIndex)
    : QAbstractButton(parent),
      m_state(0),
      // An index outside the palette would make painting read past the
      // table; such a lamp shows grey instead.
      m_colorIndex(colorIndex >= 0 && colorIndex < kPaletteSize ? colorIndex : kGreyIndex),
      m_blinkTimer(nullptr),
      m_blinkInterval(200) {
    setCheckable(true);
    setMinimumSize(64, 64);
    // An indicator takes no keyboard focus: the space key would toggle it
    // like any button and show a state the link is not in.
    setFocusPolicy(Qt::NoFocus);
}

QSimpleLed::~QSimpleLed() = default;

void QSimpleLed::setState(int state) {
    switch (state) {
        case 0:
            applySteady(false, kGreyIndex, 0);
            break;
        case 1:
            applySteady(true, 2, 1);
            break;
        case 2:
            applySteady(true, 1, 2);
            break;
        case 3:
            applySteady(true, 4, 3);
            break;
        case 4:
            startBlinking();
            break;
        default:
            qDebug("LED - unknown states!!!");
            break;
    }
    update();
}

void QSimpleLed::applySteady(bool lit, int colorIndex, int state) {
    // A steady state ends a blink; the lamp would otherwise keep toggling.
    if (m_blinkTimer) {
        m_blinkTimer->stop();
    }
    setChecked(lit);
    m_colorIndex = colorIndex;
    m_state = state;
}

void QSimpleLed::startBlinking() {
    if (m_blinkTimer && m_blinkTimer->isActive()) {
        m_blinkTimer->stop();
    }
    setChecked(false);
    m_state = 0;
    if (!m_blinkTimer) {
        m_blinkTimer = new QTimer(this);
        connect(m_blinkTimer, &QTimer::timeout, this, &QSimpleLed::onBlinkTimerTimeout);
    }
    m_blinkTimer->setInterval(m_blinkInterval);
    m_blinkTimer->start();
    m_state = 4;
}

void QSimpleLed::onBlinkTimerTimeout() {
    setChecked(!isChecked());
}

void QSimpleLed::mousePressEvent(QMouseEvent*) {}

void QSimpleLed::resizeEvent(QResizeEvent*) {
    update();
}

void QSimpleLed::paintEvent(QPaintEvent*) {
    const double side = qMin(width(), height());
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(width() / 2, height() / 2);
    painter.scale(side / 1000.0, side / 1000.0);

    const QPointF topLeft(-500, -500);
    const QPointF bottomRight(500, 500);
    const QPointF centre(0, 0);

    painter.setBrush(gradient(topLeft, kBezelLight, kBezelDark));
    painter.drawEllipse(centre, kOuterRadius, kOuterRadius);

    painter.setBrush(gradient(bottomRight, kBezelLight, kBezelDark));
    painter.drawEllipse(centre, kInnerRadius, kInnerRadius);

    const LedColours& colours = kPalette[m_colorIndex];
    if (isChecked()) {
        painter.setBrush(gradient(topLeft, colours.litStart, colours.litEnd));
    } else {
        painter.setBrush(gradient(bottomRight, colours.darkStart, colours.darkEnd));
    }
    painter.drawEllipse(QPoint(0, 0), kLensRadius, kLensRadius);
}
