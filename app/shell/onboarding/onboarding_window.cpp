#include "shell/onboarding/onboarding_window.h"

#include "common/readable_message_box.h"
#include "shell/caption_label.h"
#include "shell/onboarding/desktop_settings.h"
#include "shell/onboarding/onboarding_flow.h"
#include "shell/onboarding/permission_manager.h"
#include "shell/onboarding/permission_row.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace zentrel {
OnboardingWindow::OnboardingWindow(PermissionManager &permissions, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_permissions(permissions)
    , m_screenRecording(
          new PermissionRow(QStringLiteral("Screen Recording"),
                            QStringLiteral("Required to capture the display for Zoom Loupe."),
                            this))
    , m_accessibility(new PermissionRow(
          QStringLiteral("Accessibility"),
          QStringLiteral(
              "Required to detect Escape and mouse actions while another app is active."),
          this))
{
    setWindowTitle(QStringLiteral("Welcome to Zentrel"));
    setFixedSize(520, 430);

    auto *title = new QLabel(QStringLiteral("Zentrel"), this);
    QFont largeTitle = title->font();
    largeTitle.setPointSizeF(largeTitle.pointSizeF() * 2.2);
    largeTitle.setBold(true);
    title->setFont(largeTitle);
    auto *header = new QVBoxLayout;
    header->setSpacing(8);
    header->addWidget(title);
    header->addWidget(captionLabel(
        QStringLiteral("Grant the permissions needed for screen zoom and global overlay controls."),
        this));

    auto *refresh = new QPushButton(QStringLiteral("Refresh Status"), this);
    auto *continueButton = new QPushButton(QStringLiteral("Continue"), this);
    continueButton->setDefault(true);
    continueButton->setAutoDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(refresh);
    buttons->addStretch();
    buttons->addWidget(continueButton);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 28, 28, 28);
    layout->setSpacing(22);
    layout->addLayout(header);
    layout->addWidget(m_screenRecording);
    layout->addWidget(m_accessibility);
    layout->addWidget(captionLabel(
        QStringLiteral(
            "After granting a permission, the desktop may require Zentrel to be restarted."),
        this));
    layout->addStretch();
    layout->addLayout(buttons);

    connect(refresh, &QPushButton::clicked, this, [this] { m_permissions.refresh(); });
    connect(continueButton, &QPushButton::clicked, this, &OnboardingWindow::onContinue);
    connect(m_screenRecording, &PermissionRow::requestClicked, this, [this] {
        m_permissions.requestScreenRecording();
    });
    connect(m_accessibility, &PermissionRow::requestClicked, this, [this] {
        m_permissions.requestAccessibility();
    });
    for (PermissionRow *row : {m_screenRecording, m_accessibility}) {
        connect(row, &PermissionRow::openSettingsClicked, this, &openDesktopSettings);
    }
    showStatus();
    m_permissionsConnection = m_permissions.changed.connect([this] { showStatus(); });
    continueButton->setFocus();
}

void OnboardingWindow::showStatus()
{
    m_screenRecording->setStatus(m_permissions.screenRecording());
    m_accessibility->setStatus(m_permissions.accessibility());
}

void OnboardingWindow::onContinue()
{
    if (onboardingContinuation(m_permissions) == OnboardingContinuation::finish) {
        finish(true);
        return;
    }
    if (m_question) {
        return;
    }
    m_question = new QMessageBox(QMessageBox::Warning,
                                 QStringLiteral("Zentrel"),
                                 QStringLiteral("Continue Without Required Permissions?"),
                                 QMessageBox::NoButton,
                                 this);
    m_question->setInformativeText(
        QStringLiteral("Zentrel features may not work correctly until Screen Recording and "
                       "Accessibility are granted."));
    setReadableWidth(*m_question);
    QPushButton *back = m_question->addButton(QStringLiteral("Back"), QMessageBox::RejectRole);
    QPushButton *anyway =
        m_question->addButton(QStringLiteral("Continue Anyway"), QMessageBox::AcceptRole);
    m_question->setDefaultButton(back);
    m_question->setEscapeButton(back);
    m_question->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_question, &QMessageBox::buttonClicked, this, [this, anyway](QAbstractButton *chosen) {
        m_question = nullptr;
        if (chosen == anyway) {
            finish(true);
        }
    });
    m_question->open();
}

void OnboardingWindow::finish(bool completed)
{
    if (m_didFinish) {
        return;
    }
    m_didFinish = true;
    Q_EMIT finished(completed);
    if (completed) {
        close();
    }
}

void OnboardingWindow::closeEvent(QCloseEvent *event)
{
    finish(false);
    event->accept();
}

QMessageBox *OnboardingWindow::missingPermissionsQuestion() const
{
    return m_question;
}

} // namespace zentrel
