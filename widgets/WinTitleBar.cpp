#include "widgets/WinTitleBar.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QStyleOption>
#include <QVBoxLayout>

#include "widgets/ApplicationDirectory.h"

namespace {

const QSize kButtonSize(30, 30);
const QSize kLogoSize(180, 60);
constexpr int kBarHeight = 60;
constexpr qreal kCornerRadius = 3.0;
const char* const kButtonStyle = "QPushButton{background-color:transparent;}";

// Position in the title text where the next onRollTitle starts; shared by
// every title bar for the life of the program.
int g_rollPosition = 0;

QString imagePath(const char* name) {
    return g_applicationDirectory + QString::fromUtf8("/image/") + QString::fromUtf8(name);
}

}  // namespace

WinTitleBar::WinTitleBar(QWidget* parent)
    : QWidget(parent),
      m_logoLabel(nullptr),
      m_titleLabel(nullptr),
      m_spareLabel(nullptr),
      m_minButton(nullptr),
      m_restoreButton(nullptr),
      m_maxButton(nullptr),
      m_closeButton(nullptr),
      m_red(153),
      m_green(153),
      m_blue(153),
      m_dragging(false),
      m_maxRestoreMode(1),
      m_widthMargin(0),
      m_transparent(false) {
    buildBar();
    connectButtons();
}

WinTitleBar::~WinTitleBar() = default;

void WinTitleBar::buildBar() {
    m_logoLabel = new QLabel;
    m_titleLabel = new QLabel;
    m_spareLabel = new QLabel;
    m_minButton = new QPushButton;
    m_restoreButton = new QPushButton;
    m_restoreButton->hide();
    m_maxButton = new QPushButton;
    m_closeButton = new QPushButton;
    m_logoLabel->setObjectName(QStringLiteral("logoLabel"));
    m_titleLabel->setObjectName(QStringLiteral("titleLabel"));
    m_titleLabel->setStyleSheet(QStringLiteral("QLabel{color:white;font:bold 14px;}"));

    m_logoLabel->setFixedWidth(kLogoSize.width());
    m_logoLabel->setScaledContents(true);
    setTitleIcon(imagePath("logo_title.png"), kLogoSize);

    setUpButton(m_minButton, "minButton", "min.png", QString::fromUtf8("最小化"), "Minimize");
    setUpButton(m_maxButton, "maxButton", "max.png", QString::fromUtf8("最大化"), "Maximize");
    setUpButton(m_closeButton, "closeButton", "close.png", QString::fromUtf8("关闭"), "Close");
    // The restore button stands in for the maximise button while the window
    // is maximised, so it looks and sits like it.
    setUpButton(m_restoreButton, "restoreButton", "restore.png", QString::fromUtf8("还原"),
                "Restore");
    // Maximising is done by double-clicking the bar only.
    m_maxButton->setEnabled(false);

    auto* column = new QVBoxLayout;
    column->addWidget(new QWidget);
    column->addWidget(m_spareLabel);

    auto* row = new QHBoxLayout(this);
    row->addWidget(m_logoLabel);
    row->addWidget(m_titleLabel);
    row->addLayout(column);
    row->addWidget(m_minButton);
    row->addWidget(m_maxButton);
    row->addWidget(m_restoreButton);
    row->addWidget(m_closeButton);
    row->setContentsMargins(5, 0, 0, 0);
    row->setSpacing(0);

    m_titleLabel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(kBarHeight);
    setWindowFlags(Qt::FramelessWindowHint);
}

void WinTitleBar::setUpButton(QPushButton* button, const char* objectName, const char* imageName,
                              const QString& toolTip, const char* accessibleName) {
    button->setObjectName(QString::fromUtf8(objectName));
    const QImage image(imagePath(imageName));
    button->setIconSize(kButtonSize);
    button->setIcon(QIcon(QPixmap::fromImage(image)));
    button->setFixedSize(kButtonSize);
    button->setToolTip(toolTip);
    button->setAccessibleName(QString::fromUtf8(accessibleName));
    button->setStyleSheet(QString::fromUtf8(kButtonStyle));
    // A window's own frame buttons never take the keyboard focus (nor draw its rectangle).
    button->setFocusPolicy(Qt::NoFocus);
}

void WinTitleBar::connectButtons() {
    connect(m_minButton, SIGNAL(clicked()), this, SLOT(onButtonMinClicked()));
    connect(m_restoreButton, SIGNAL(clicked()), this, SLOT(onButtonRestoreClicked()));
    connect(m_maxButton, SIGNAL(clicked()), this, SLOT(onButtonMaxClicked()));
    connect(m_closeButton, SIGNAL(clicked()), this, SLOT(onButtonCloseClicked()));
}

void WinTitleBar::setTitleBarColor(int red, int green, int blue, bool transparent) {
    m_transparent = transparent;
    m_red = red;
    m_green = green;
    m_blue = blue;
    update();
}

void WinTitleBar::setTitleIcon(const QString& filePath, const QSize& size) {
    const QPixmap pixmap(filePath);
    m_logoLabel->setScaledContents(true);
    if (pixmap.isNull()) {
        // A missing or unreadable logo leaves the label empty.
        m_logoLabel->setPixmap(QPixmap());
        return;
    }
    m_logoLabel->setPixmap(pixmap.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation));
}

void WinTitleBar::saveRestoreInfo(const QPoint& position, const QSize& size) {
    m_restorePosition = position;
    m_restoreSize = size;
}

void WinTitleBar::getRestoreInfo(QPoint& position, QSize& size) const {
    position = m_restorePosition;
    size = m_restoreSize;
}

void WinTitleBar::setTitleText(const QString& text) {
    m_titleText = text;
}

void WinTitleBar::onButtonMinClicked() {
    emit signalButtonMinClicked();
}

void WinTitleBar::onButtonRestoreClicked() {
    showMaximised(false);
    emit signalButtonRestoreClicked();
}

void WinTitleBar::onButtonMaxClicked() {
    showMaximised(true);
    emit signalButtonMaxClicked();
}

void WinTitleBar::onButtonCloseClicked() {
    emit signalButtonCloseClicked();
}

void WinTitleBar::showStatusText(const QString& text) {
    m_titleLabel->setText(text);
}

void WinTitleBar::onRollTitle() {
    const QString text = m_titleText;
    if (g_rollPosition > text.length()) {
        g_rollPosition = 0;
    }
    m_titleLabel->setText(text.mid(g_rollPosition));
    ++g_rollPosition;
}

// The bar is maximised while the restore button stands in for the maximise
// button. The hidden flag is asked rather than the visibility, so the state
// is also right while the window itself is not shown.
bool WinTitleBar::isMaximised() const {
    return m_maxButton->isHidden();
}

void WinTitleBar::showMaximised(bool maximised) {
    if (maximised) {
        m_maxButton->hide();
        m_restoreButton->show();
    } else {
        m_restoreButton->hide();
        m_maxButton->show();
    }
}

void WinTitleBar::mousePressEvent(QMouseEvent* event) {
    if (m_maxRestoreMode != 1 || !isMaximised()) {
        m_dragging = true;
        m_dragAnchor = event->globalPos();
    }
    QWidget::mousePressEvent(event);
}

void WinTitleBar::mouseReleaseEvent(QMouseEvent* event) {
    m_dragging = false;
    QWidget::mouseReleaseEvent(event);
}

void WinTitleBar::mouseDoubleClickEvent(QMouseEvent* event) {
    if (m_maxRestoreMode == 1) {
        if (isMaximised()) {
            onButtonRestoreClicked();
        } else {
            onButtonMaxClicked();
        }
    }
    QWidget::mouseDoubleClickEvent(event);
}

void WinTitleBar::mouseMoveEvent(QMouseEvent* event) {
    QWidget* window = parentWidget();
    // A bar without a parent has no window to drag.
    if (m_dragging && window) {
        const QPoint delta = event->globalPos() - m_dragAnchor;
        window->move(window->pos() + delta);
        m_dragAnchor = event->globalPos();
    }
    QWidget::mouseMoveEvent(event);
}

void WinTitleBar::paintEvent(QPaintEvent* event) {
    if (!m_transparent) {
        paintBackground();
    }
    followParentWidth();
    QPainter painter(this);
    QStyleOption option;
    option.initFrom(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
    painter.end();
    QWidget::paintEvent(event);
}

void WinTitleBar::paintBackground() {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addRoundedRect(QRectF(0, 0, width(), height()), kCornerRadius, kCornerRadius,
                        Qt::AbsoluteSize);
    painter.fillPath(path, QBrush(QColor(m_red, m_green, m_blue, 255)));
}

// The bar spans its window: on every repaint its width is fixed to the
// parent's width less the margin. A bar without a parent keeps its width.
void WinTitleBar::followParentWidth() {
    const QWidget* window = parentWidget();
    if (!window) {
        return;
    }
    const int wanted = window->width() - m_widthMargin;
    if (width() != wanted) {
        setFixedWidth(wanted);
    }
}
