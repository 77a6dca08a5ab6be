#include "chart/RecordChart.h"

#include <qwt_date_scale_draw.h>
#include <qwt_date_scale_engine.h>
#include <qwt_picker_machine.h>
#include <qwt_plot.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_panner.h>
#include <qwt_plot_picker.h>
#include <qwt_scale_widget.h>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QSaveFile>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <cmath>

#include "chart/ReducedCurve.h"
#include "link/Units.h"

namespace {

// At most this many redraws a second while records keep arriving.
constexpr int kRefreshIntervalMs = 100;
// One wheel notch shows this share of the time range.
constexpr double kWheelZoomFactor = 0.8;
constexpr double kWheelNotch = 120.0;

const QColor kBlue(4, 12, 89);
const char* const kButtonStyle =
    "QPushButton{min-height:25px;max-height:25px;padding:0 12px;color:rgb(4, 12, 89);font:bold "
    "15px;border: 2px solid rgb(4, 12, 89);}";
const char* const kPointerStyle = "QLabel{color:rgb(4, 12, 89);font:bold 14px;}";
const char* const kTimeFormat = "yyyy-MM-dd hh:mm:ss";
const char* const kHint = "wheel: zoom time   left drag: zoom to rectangle   right drag: move";

QString timeText(double timeMs) {
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::floor(timeMs)), Qt::UTC)
        .toString(QLatin1String(kTimeFormat));
}

// Record times are wall-clock texts without a zone; they are held and shown
// as UTC so that no zone or daylight-saving rule shifts them.
QwtDateScaleDraw* makeTimeScaleDraw() {
    auto* draw = new QwtDateScaleDraw(Qt::UTC);
    draw->setDateFormat(QwtDate::Millisecond, "hh:mm:ss.zzz\nyyyy-MM-dd");
    draw->setDateFormat(QwtDate::Second, "hh:mm:ss\nyyyy-MM-dd");
    draw->setDateFormat(QwtDate::Minute, "hh:mm\nyyyy-MM-dd");
    draw->setDateFormat(QwtDate::Hour, "hh:mm\nyyyy-MM-dd");
    draw->setDateFormat(QwtDate::Day, "yyyy-MM-dd");
    draw->setDateFormat(QwtDate::Week, "yyyy-MM-dd");
    draw->setDateFormat(QwtDate::Month, "yyyy-MM");
    draw->setDateFormat(QwtDate::Year, "yyyy");
    return draw;
}

// The time labels at either end of the axis would move the scale's ends by a
// few pixels whenever the labels change; room for the widest label keeps the
// time under the pointer in place while zooming.
void keepTimeAxisBorders(QwtScaleWidget* axis) {
    const int halfLabel = QFontMetrics(axis->font()).horizontalAdvance("00:00:00.000") / 2 + 2;
    axis->setMinBorderDist(halfLabel, halfLabel);
}

QPushButton* makeButton(const QString& caption) {
    auto* button = new QPushButton(caption);
    button->setStyleSheet(kButtonStyle);
    return button;
}

}  // namespace

RecordChart::RecordChart(const RecordStore& store, QWidget* parent)
    : QWidget(parent), m_store(store) {
    setWindowTitle(QStringLiteral("ventrix \u2014 CHART"));
    resize(900, 560);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildToolRow());
    layout->addWidget(buildPlot(), 1);
    buildNavigation();

    m_refreshTimer = new QTimer(this);
    m_refreshTimer->setSingleShot(true);
    m_refreshTimer->setInterval(kRefreshIntervalMs);
    connect(m_refreshTimer, SIGNAL(timeout()), this, SLOT(refresh()));
    showValueTitle();
    refresh();
}

QWidget* RecordChart::buildToolRow() {
    auto* row = new QWidget;
    m_pointerLabel = new QLabel(QLatin1String(kHint));
    m_pointerLabel->setObjectName("pointerLabel");
    m_pointerLabel->setStyleSheet(kPointerStyle);
    QPushButton* wholeButton = makeButton(QStringLiteral("WHOLE RANGE"));
    wholeButton->setObjectName("wholeRangeButton");
    connect(wholeButton, SIGNAL(clicked()), this, SLOT(showWholeRange()));
    QPushButton* saveButton = makeButton(QStringLiteral("SAVE IMAGE"));
    connect(saveButton, SIGNAL(clicked()), this, SLOT(saveImage()));

    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pointerLabel, 1);
    layout->addWidget(wholeButton);
    layout->addWidget(saveButton);
    return row;
}

QwtPlot* RecordChart::buildPlot() {
    m_plot = new QwtPlot;
    m_plot->setCanvasBackground(Qt::white);
    m_plot->setAxisScaleDraw(QwtPlot::xBottom, makeTimeScaleDraw());
    m_plot->setAxisScaleEngine(QwtPlot::xBottom, new QwtDateScaleEngine(Qt::UTC));
    m_plot->setAxisTitle(QwtPlot::xBottom, QStringLiteral("DateTime"));
    keepTimeAxisBorders(m_plot->axisWidget(QwtPlot::xBottom));

    auto* grid = new QwtPlotGrid;
    grid->setMajorPen(QColor(200, 200, 210), 0.0, Qt::DotLine);
    grid->attach(m_plot);
    m_curve = new ReducedCurve(m_series);
    m_curve->attach(m_plot);
    return m_plot;
}

void RecordChart::buildNavigation() {
    QWidget* canvas = m_plot->canvas();
    canvas->setMouseTracking(true);
    canvas->installEventFilter(this);

    auto* picker = new QwtPlotPicker(QwtPlot::xBottom, QwtPlot::yLeft, QwtPicker::RectRubberBand,
                                     QwtPicker::AlwaysOff, canvas);
    picker->setStateMachine(new QwtPickerDragRectMachine);
    picker->setRubberBandPen(QPen(kBlue, 1.0, Qt::DashLine));
    connect(picker, SIGNAL(selected(QRectF)), this, SLOT(zoomTo(QRectF)));

    auto* panner = new QwtPlotPanner(canvas);
    panner->setMouseButton(Qt::RightButton);
}

bool RecordChart::showsWholeRange() const {
    return m_plot->axisAutoScale(QwtPlot::xBottom) && m_plot->axisAutoScale(QwtPlot::yLeft);
}

void RecordChart::recordsAppended() {
    scheduleRefresh();
}

// A new query starts a new set of records: the view goes back to the whole
// range of whatever arrives.
void RecordChart::storeCleared() {
    restartSeries();
    showWholeRange();
}

void RecordChart::restartSeries() {
    m_series.clear();
    m_taken = 0;
}

// A zoomed value axis keeps showing the same values, converted to the new unit.
void RecordChart::setUnit(int unitIndex) {
    const double ratio =
        static_cast<double>(unitInfo(m_unit).divisor) / unitInfo(unitIndex).divisor;
    m_unit = unitIndex;
    m_curve->setDivisor(unitInfo(unitIndex).divisor);
    showValueTitle();
    if (!m_plot->axisAutoScale(QwtPlot::yLeft)) {
        const QwtInterval values = m_plot->axisInterval(QwtPlot::yLeft);
        m_plot->setAxisScale(QwtPlot::yLeft, values.minValue() * ratio, values.maxValue() * ratio);
    }
    scheduleRefresh();
}

void RecordChart::refresh() {
    m_refreshTimer->stop();
    if (m_store.size() < m_taken) {
        restartSeries();
    }
    m_series.append(m_store.data() + m_taken, m_store.size() - m_taken);
    m_taken = m_store.size();
    m_plot->replot();
}

// The first change after a redraw starts the clock; whatever else changes
// before it runs out is drawn with it.
void RecordChart::scheduleRefresh() {
    if (!m_refreshTimer->isActive())
        m_refreshTimer->start();
}

void RecordChart::showWholeRange() {
    m_plot->setAxisAutoScale(QwtPlot::xBottom);
    m_plot->setAxisAutoScale(QwtPlot::yLeft);
    scheduleRefresh();
}

void RecordChart::zoomTo(const QRectF& rect) {
    const QRectF area = rect.normalized();
    if (area.width() <= 0 || area.height() <= 0)
        return;
    m_plot->setAxisScale(QwtPlot::xBottom, area.left(), area.right());
    m_plot->setAxisScale(QwtPlot::yLeft, area.top(), area.bottom());
    m_plot->replot();
}

void RecordChart::saveImage() {
    QString fileName = QFileDialog::getSaveFileName(nullptr, tr("Save Image"), QDir::currentPath(),
                                                    tr("PNG (*.png)"));
    if (fileName.isEmpty())
        return;
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += QStringLiteral(".png");
    if (!saveImageAs(fileName))
        QMessageBox::critical(nullptr, QStringLiteral("Error"),
                              QStringLiteral("Save image failed!"), QMessageBox::Ok);
}

bool RecordChart::saveImageAs(const QString& path) const {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && m_plot->grab().toImage().save(&file, "PNG") &&
           file.commit();
}

void RecordChart::showWindow() {
    show();
    raise();
    activateWindow();
}

bool RecordChart::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_plot->canvas()) {
        if (event->type() == QEvent::Wheel) {
            const auto* wheel = static_cast<QWheelEvent*>(event);
            zoomTimeAt(wheel->position().toPoint().x(), wheel->angleDelta().y() / kWheelNotch);
            return true;
        }
        if (event->type() == QEvent::MouseMove)
            showPointer(static_cast<QMouseEvent*>(event)->pos());
        else if (event->type() == QEvent::Leave)
            m_pointerLabel->setText(QLatin1String(kHint));
    }
    return QWidget::eventFilter(watched, event);
}

// The time under the pointer stays where it is; the value axis is left alone.
void RecordChart::zoomTimeAt(int pointerX, double steps) {
    if (steps == 0)
        return;
    const double factor = std::pow(kWheelZoomFactor, steps);
    const double pointer = m_plot->invTransform(QwtPlot::xBottom, pointerX);
    const QwtInterval times = m_plot->axisInterval(QwtPlot::xBottom);
    m_plot->setAxisScale(QwtPlot::xBottom, pointer - (pointer - times.minValue()) * factor,
                         pointer + (times.maxValue() - pointer) * factor);
    m_plot->replot();
}

void RecordChart::showPointer(const QPoint& position) {
    const UnitInfo& unit = unitInfo(m_unit);
    const double time = m_plot->invTransform(QwtPlot::xBottom, position.x());
    const double value = m_plot->invTransform(QwtPlot::yLeft, position.y());
    m_pointerLabel->setText(timeText(time) + QLatin1String("    ") +
                            QString::number(value, 'f', unit.decimals) + QLatin1Char(' ') +
                            QLatin1String(unit.comboItem));
}

void RecordChart::showValueTitle() {
    m_plot->setAxisTitle(QwtPlot::yLeft, QLatin1String(unitInfo(m_unit).comboItem));
}
