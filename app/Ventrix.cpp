#include "app/Ventrix.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

#include "link/SerialWidget.h"
#include "widgets/WinTitleBar.h"

// The window is owned by whoever constructs it (the entry function keeps it
// on its stack) and is not deleted on close: closing hides it, the event loop
// returns, and the owner destroys it exactly once.
Ventrix::Ventrix(QWidget* parent) : QWidget(parent) {
    setMinimumSize(800, 550);
    setAttribute(Qt::WA_StyledBackground, true);
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint);
    setWindowTitle(QStringLiteral("ventrix"));

    createTitleBar();
    m_panel = new SerialWidget(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_titleBar, 1);
    layout->addWidget(m_panel, 10);
    layout->setContentsMargins(0, 0, 0, 0);

    connectTitleBar();
}

Ventrix::~Ventrix() = default;

void Ventrix::createTitleBar() {
    m_titleBar = new WinTitleBar(this);
    m_titleBar->setFixedHeight(40);
    m_titleBar->setTitleBarColor(4, 12, 89, false);
}

void Ventrix::connectTitleBar() {
    connect(m_titleBar, SIGNAL(signalButtonMinClicked()), this, SLOT(onButtonMinClicked()));
    connect(m_titleBar, SIGNAL(signalButtonRestoreClicked()), this, SLOT(onButtonRestoreClicked()));
    connect(m_titleBar, SIGNAL(signalButtonMaxClicked()), this, SLOT(onButtonMaxClicked()));
    connect(m_titleBar, SIGNAL(signalButtonCloseClicked()), this, SLOT(onButtonCloseClicked()));
    connect(m_panel, SIGNAL(statusText(QString)), this, SLOT(onPanelStatusText(QString)));
}

void Ventrix::onPanelStatusText(const QString& text) {
    m_titleBar->showStatusText(text);
}

void Ventrix::onButtonMinClicked() {
    showMinimized();
}

// "Maximised" is a normal window covering the work area and overhanging it by
// three pixels on every side, so that no frame line of the window shows.
void Ventrix::onButtonMaxClicked() {
    m_titleBar->saveRestoreInfo(pos(), QSize(width(), height()));
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    setGeometry(QRect(area.x() - 3, area.y() - 3, area.width() + 6, area.height() + 6));
}

void Ventrix::onButtonRestoreClicked() {
    QPoint position;
    QSize size;
    m_titleBar->getRestoreInfo(position, size);
    setGeometry(QRect(position, size));
}

// Closing ends the event loop with status 0 at once; the entry function then
// destroys the window and returns that status.
void Ventrix::onButtonCloseClicked() {
    close();
    QCoreApplication::exit(0);
}
