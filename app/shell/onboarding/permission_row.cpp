#include "shell/onboarding/permission_row.h"

#include "common/symbol_icon.h"
#include "shell/caption_label.h"
#include "shell/onboarding/permission_manager.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zentrel {
namespace {

constexpr int iconSize = 22;

} // namespace

PermissionRow::PermissionRow(const QString &title, const QString &detail, QWidget *parent)
    : QWidget(parent)
    , m_icon(new QLabel(this))
    , m_reason(captionLabel({}, this))
    , m_granted(new QLabel(QStringLiteral("Granted"), this))
    , m_request(new QPushButton(QStringLiteral("Request"), this))
    , m_openSettings(new QPushButton(QStringLiteral("Open Settings"), this))
{
    auto *titleLabel = new QLabel(title, this);
    QFont headline = titleLabel->font();
    headline.setBold(true);
    titleLabel->setFont(headline);
    m_granted->setForegroundRole(QPalette::PlaceholderText);
    m_icon->setFixedSize(iconSize, iconSize);

    auto *texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addWidget(titleLabel);
    texts->addWidget(captionLabel(detail, this));
    texts->addWidget(m_reason);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    layout->addWidget(m_icon, 0, Qt::AlignTop);
    layout->addLayout(texts, 1);
    layout->addWidget(m_granted, 0, Qt::AlignTop);
    layout->addWidget(m_request, 0, Qt::AlignTop);
    layout->addWidget(m_openSettings, 0, Qt::AlignTop);
    connect(m_request, &QPushButton::clicked, this, &PermissionRow::requestClicked);
    connect(m_openSettings, &QPushButton::clicked, this, &PermissionRow::openSettingsClicked);
}

void PermissionRow::setStatus(const PermissionStatus &status)
{
    const QString symbol = status.granted ? QStringLiteral("checkmark.circle.fill")
                                          : QStringLiteral("exclamationmark.circle.fill");
    m_icon->setPixmap(symbolIcon(symbol).pixmap(iconSize, iconSize));
    m_reason->setText(QString::fromStdString(status.reason));
    m_reason->setVisible(!status.granted && !status.reason.empty());
    m_granted->setVisible(status.granted);
    m_request->setVisible(!status.granted);
    m_openSettings->setVisible(!status.granted);
}

} // namespace zentrel
