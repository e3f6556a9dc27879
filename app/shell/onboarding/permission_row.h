#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace zentrel {

struct PermissionStatus;

// One permission: whether it is granted and, when not, why, with "Request" and "Open
// Settings". Shared by the onboarding and settings windows, which give it their own texts.
class PermissionRow : public QWidget
{
    Q_OBJECT

public:
    PermissionRow(const QString &title, const QString &detail, QWidget *parent = nullptr);

    void setStatus(const PermissionStatus &status);

Q_SIGNALS:
    void requestClicked();
    void openSettingsClicked();

private:
    QLabel *m_icon;
    QLabel *m_reason;
    QLabel *m_granted;
    QPushButton *m_request;
    QPushButton *m_openSettings;
};

} // namespace zentrel
