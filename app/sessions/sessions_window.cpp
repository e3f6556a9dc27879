#include "sessions/sessions_window.h"

#include <QLabel>
#include <QVBoxLayout>

namespace zentrel {

SessionsWindow::SessionsWindow()
{
    setWindowTitle(QStringLiteral("Sessions"));
    resize(900, 600);
    auto *empty = new QLabel(QStringLiteral("No sessions yet."), this);
    empty->setAlignment(Qt::AlignCenter);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(empty);
}

} // namespace zentrel
