#include "sessions/session_frame_row.h"

#include "common/symbol_icon.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPalette>
#include <QToolButton>
#include <QVBoxLayout>

namespace zentrel {
namespace {

QLabel *secondaryLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setForegroundRole(QPalette::PlaceholderText);
    return label;
}

QString captureDate(Timestamp capturedAt)
{
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(capturedAt.time_since_epoch()).count();
    const QDate date = QDateTime::fromSecsSinceEpoch(seconds).date();
    return QLocale().toString(date, QLocale::ShortFormat);
}

} // namespace

QString SessionFrameRow::sourceTitle(SessionFrameSource source)
{
    switch (source) {
    case SessionFrameSource::drawing:
        return QStringLiteral("Draw");
    case SessionFrameSource::freeze:
        return QStringLiteral("Freeze Frame");
    case SessionFrameSource::whiteboard:
        return QStringLiteral("Whiteboard");
    }
    return {};
}

SessionFrameRow::SessionFrameRow(const SessionFrame &frame, QWidget *parent)
    : QWidget(parent)
    , m_thumbnail(new QLabel(this))
{
    m_thumbnail->setFixedSize(thumbnailSize);
    m_thumbnail->setAlignment(Qt::AlignCenter);
    m_thumbnail->setAutoFillBackground(true);
    m_thumbnail->setBackgroundRole(QPalette::AlternateBase);

    auto *source = new QLabel(sourceTitle(frame.source), this);
    QFont headline = source->font();
    headline.setBold(true);
    source->setFont(headline);
    auto *texts = new QVBoxLayout;
    texts->setSpacing(5);
    texts->addWidget(source);
    texts->addWidget(secondaryLabel(
        QStringLiteral("%1 \u00D7 %2 px").arg(frame.pixelWidth).arg(frame.pixelHeight), this));
    QLabel *date = secondaryLabel(captureDate(frame.capturedAt), this);
    QFont caption = date->font();
    caption.setPointSizeF(caption.pointSizeF() * 0.85);
    date->setFont(caption);
    texts->addWidget(date);

    auto *remove = new QToolButton(this);
    remove->setIcon(symbolIcon(QStringLiteral("trash")));
    remove->setAutoRaise(true);
    remove->setToolTip(QStringLiteral("Delete frame"));
    remove->setAccessibleName(QStringLiteral("Delete frame"));
    connect(remove, &QToolButton::clicked, this, &SessionFrameRow::deleteRequested);

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(4, 4, 4, 4);
    row->setSpacing(12);
    row->addWidget(m_thumbnail);
    row->addLayout(texts);
    row->addStretch(1);
    row->addWidget(remove);
}

void SessionFrameRow::showThumbnail(const QImage &thumbnail)
{
    // The cache decodes to this size already.
    m_thumbnail->setPixmap(QPixmap::fromImage(thumbnail));
}

void SessionFrameRow::showUnreadable()
{
    m_thumbnail->setPixmap(
        symbolIcon(QStringLiteral("photo.badge.exclamationmark")).pixmap(QSize(32, 32)));
}

} // namespace zentrel
