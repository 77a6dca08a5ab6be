#include "app/Ventrix.h"

#include <QVBoxLayout>

#include "link/SerialWidget.h"

// The window is owned by whoever constructs it (the entry function keeps it
// on its stack) and is not deleted on close: closing hides it, the event loop
// returns, and the owner destroys it exactly once.
Ventrix::Ventrix(QWidget* parent) : QWidget(parent) {
    setMinimumSize(800, 550);
    setAttribute(Qt::WA_StyledBackground, true);
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint);

    m_panel = new SerialWidget(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_panel, 10);
    layout->setContentsMargins(0, 0, 0, 0);
}

Ventrix::~Ventrix() = default;
