#pragma once

#include <QMessageBox>
#include <QSet>

#include <chrono>
#include <optional>

class QKeyEvent;

namespace zentrel {

// The error alert's window: a warning titled "Zentrel", the text below the program's name and
// one "OK" button. It opens in the middle of the active screen, wherever a window manager would
// put a dialog of ours, and stays above the feature's always-on-top panels.
class ErrorAlertBox final : public QMessageBox
{
    Q_OBJECT

public:
    explicit ErrorAlertBox(const QString &text);

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool takeKey(const QKeyEvent &event);

    // Answering keys pressed while it was open, not yet released.
    QSet<int> m_keysDown;
};

// The error alert as the program ends: the quit goes on once it is answered. With a time limit
// it closes by itself, for an end nobody may be there to answer, as when the session ends.
void showAlertBeforeQuitting(const QString &text,
                             std::optional<std::chrono::milliseconds> timeLimit = std::nullopt);

} // namespace zentrel
