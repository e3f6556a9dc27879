#pragma once

#include "common/signal.h"

#include <QPointer>
#include <QWidget>

class QMessageBox;

namespace zentrel {

class PermissionManager;
class PermissionRow;

// The first-run window that walks the user through the two permissions. It finishes once:
// continued (true) or closed first (false); its owner records the outcome and lets it go.
class OnboardingWindow : public QWidget
{
    Q_OBJECT

public:
    explicit OnboardingWindow(PermissionManager &permissions, QWidget *parent = nullptr);

    // The question asked when continuing without both permissions, while it is open.
    QMessageBox *missingPermissionsQuestion() const;

Q_SIGNALS:
    void finished(bool completed);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void onContinue();
    void finish(bool completed);
    void showStatus();

    PermissionManager &m_permissions;
    PermissionRow *m_screenRecording;
    PermissionRow *m_accessibility;
    QPointer<QMessageBox> m_question;
    bool m_didFinish = false;
    ScopedConnection m_permissionsConnection;
};

} // namespace zentrel
