#include "sessions/sessions_window.h"

#include "common/symbol_icon.h"
#include "sessions/session_dialogs.h"
#include "sessions/session_frame_row.h"
#include "sessions/session_library_model.h"
#include "sessions/session_thumbnail_cache.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QSplitter>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace zentrel {
namespace {

constexpr int idRole = Qt::UserRole;

QString text(const std::string &value)
{
    return QString::fromStdString(value);
}

QString frameCount(std::size_t count)
{
    return count == 1 ? QStringLiteral("1 frame") : QStringLiteral("%1 frames").arg(count);
}

std::optional<Uuid> idOf(const QListWidgetItem *item)
{
    if (!item) {
        return std::nullopt;
    }
    return Uuid::parse(item->data(idRole).toString().toStdString());
}

// "No Session", "No Frames": a symbol, a title and a line of help in the middle of the pane.
QWidget *emptyContent(const QString &symbol, const QString &title, const QString &description)
{
    auto *page = new QWidget;
    auto *icon = new QLabel(page);
    icon->setPixmap(symbolIcon(symbol).pixmap(QSize(48, 48)));
    icon->setAlignment(Qt::AlignCenter);
    auto *heading = new QLabel(title, page);
    QFont font = heading->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.4);
    heading->setFont(font);
    heading->setAlignment(Qt::AlignCenter);
    auto *help = new QLabel(description, page);
    help->setForegroundRole(QPalette::PlaceholderText);
    help->setAlignment(Qt::AlignCenter);
    auto *layout = new QVBoxLayout(page);
    layout->addStretch(1);
    layout->addWidget(icon);
    layout->addWidget(heading);
    layout->addWidget(help);
    layout->addStretch(1);
    return page;
}

QToolButton *iconButton(const QString &symbol, const QString &help, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setIcon(symbolIcon(symbol));
    button->setIconSize(QSize(22, 22));
    button->setAutoRaise(true);
    button->setToolTip(help);
    button->setAccessibleName(help);
    return button;
}

} // namespace

SessionsWindow::SessionsWindow(SessionLibraryModel &model, SessionDialogs &dialogs, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_dialogs(dialogs)
    , m_thumbnails(new SessionThumbnailCache(SessionFrameRow::thumbnailSize, this))
{
    setWindowTitle(QStringLiteral("Sessions"));
    setMinimumSize(760, 480);
    resize(900, 600);
    auto *splitter = new QSplitter(this);
    splitter->addWidget(makeSidebar());
    splitter->addWidget(makeDetail());
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({240, 660});
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);

    connect(m_thumbnails,
            &SessionThumbnailCache::thumbnailReady,
            this,
            &SessionsWindow::onThumbnailReady);
    // Views are rebuilt after the event that changed the model, never inside it (a drop on the
    // frame list is one).
    m_modelConnection = m_model.changed.connect([this] { scheduleRefresh(); });
    refresh();
}

SessionsWindow::~SessionsWindow() = default;

QWidget *SessionsWindow::makeSidebar()
{
    auto *sidebar = new QWidget;
    auto *heading = new QLabel(QStringLiteral("Sessions"), sidebar);
    QFont font = heading->font();
    font.setBold(true);
    heading->setFont(font);
    auto *newSession = new QToolButton(sidebar);
    newSession->setObjectName(QStringLiteral("newSessionButton"));
    newSession->setIcon(symbolIcon(QStringLiteral("plus")));
    newSession->setText(QStringLiteral("New Session"));
    newSession->setToolTip(QStringLiteral("New Session"));
    newSession->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    newSession->setAutoRaise(true);
    connect(newSession, &QToolButton::clicked, this, [this] { m_model.createSession(); });

    m_sessionList = new QListWidget(sidebar);
    m_sessionList->setObjectName(QStringLiteral("sessionList"));
    m_sessionList->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(m_sessionList,
            &QListWidget::currentItemChanged,
            this,
            &SessionsWindow::onSessionRowChanged);

    auto *top = new QHBoxLayout;
    top->addWidget(heading);
    top->addStretch(1);
    top->addWidget(newSession);
    auto *layout = new QVBoxLayout(sidebar);
    layout->addLayout(top);
    layout->addWidget(m_sessionList);
    return sidebar;
}

QWidget *SessionsWindow::makeHeader()
{
    auto *header = new QWidget;
    m_titleField = new QLineEdit(header);
    m_titleField->setObjectName(QStringLiteral("titleField"));
    m_titleField->setPlaceholderText(QStringLiteral("Session title"));
    m_titleField->setFrame(false);
    QFont font = m_titleField->font();
    font.setPointSizeF(font.pointSizeF() * 1.5);
    m_titleField->setFont(font);
    connect(m_titleField, &QLineEdit::returnPressed, this, [this] {
        m_model.renameSession(m_titleField->text().toStdString());
    });

    QToolButton *close =
        iconButton(QStringLiteral("checkmark"), QStringLiteral("Save and close session"), header);
    close->setObjectName(QStringLiteral("saveAndCloseButton"));
    close->setAccessibleDescription(
        QStringLiteral("Closes the active session and starts a new one"));
    connect(close, &QToolButton::clicked, this, [this] {
        m_model.saveAndClose(m_titleField->text().toStdString());
    });
    QToolButton *remove =
        iconButton(QStringLiteral("trash"), QStringLiteral("Delete session"), header);
    remove->setObjectName(QStringLiteral("deleteSessionButton"));
    connect(remove, &QToolButton::clicked, this, &SessionsWindow::confirmSessionDeletion);

    m_exportButton = new QToolButton(header);
    m_exportButton->setObjectName(QStringLiteral("exportButton"));
    m_exportButton->setIcon(symbolIcon(QStringLiteral("square.and.arrow.up")));
    // Alt+E opens the menu from the keyboard.
    m_exportButton->setText(QStringLiteral("&Export"));
    m_exportButton->setAccessibleName(QStringLiteral("Export"));
    m_exportButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_exportButton->setPopupMode(QToolButton::InstantPopup);
    auto *menu = new QMenu(m_exportButton);
    menu->addAction(QStringLiteral("PNG Files\u2026"), this, &SessionsWindow::exportPngFiles);
    menu->addAction(QStringLiteral("Multi-page PDF\u2026"), this, &SessionsWindow::exportPdf);
    m_exportButton->setMenu(menu);

    auto *row = new QHBoxLayout(header);
    row->addWidget(m_titleField, 1);
    row->addWidget(close);
    row->addWidget(remove);
    row->addWidget(m_exportButton);
    return header;
}

QWidget *SessionsWindow::makeDetail()
{
    m_detailPages = new QStackedWidget;
    m_detailPages->addWidget(
        emptyContent(QStringLiteral("rectangle.stack"),
                     QStringLiteral("No Session"),
                     QStringLiteral("Create a session to collect presentation frames.")));

    auto *detail = new QWidget;
    auto *divider = new QFrame(detail);
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);
    m_framePages = new QStackedWidget(detail);
    m_framePages->addWidget(
        emptyContent(QStringLiteral("photo.on.rectangle.angled"),
                     QStringLiteral("No Frames"),
                     QStringLiteral("Use Save to Session in Draw, Freeze, or Whiteboard.")));
    m_frameList = new QListWidget(m_framePages);
    m_frameList->setObjectName(QStringLiteral("frameList"));
    m_frameList->setDragDropMode(QAbstractItemView::InternalMove);
    m_frameList->setDefaultDropAction(Qt::MoveAction);
    m_frameList->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(m_frameList->model(),
            &QAbstractItemModel::rowsMoved,
            this,
            [this](const QModelIndex &, int first, int last, const QModelIndex &, int row) {
                onFramesMoved(first, last, row);
            });
    m_framePages->addWidget(m_frameList);

    auto *layout = new QVBoxLayout(detail);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(makeHeader());
    layout->addWidget(divider);
    layout->addWidget(m_framePages, 1);
    m_detailPages->addWidget(detail);
    return m_detailPages;
}

void SessionsWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_model.reload();
    const SessionDocument *selected = m_model.selectedSession();
    m_titleField->setText(selected ? text(selected->title) : QString());
}

void SessionsWindow::scheduleRefresh()
{
    if (!m_refreshScheduled) {
        m_refreshScheduled = true;
        QTimer::singleShot(0, this, &SessionsWindow::refresh);
    }
}

void SessionsWindow::refresh()
{
    m_refreshScheduled = false;
    m_updatingViews = true;
    refreshSessionList();
    refreshDetail();
    m_updatingViews = false;
    showPendingError();
}

// Rows are updated in place, and an unchanged row not at all, so a change to one session (or
// a click that selects one) leaves the list's scroll position and rows alone.
void SessionsWindow::refreshSessionList()
{
    const std::vector<SessionDocument> &sessions = m_model.sessions();
    const int count = static_cast<int>(sessions.size());
    while (m_sessionList->count() > count) {
        delete m_sessionList->takeItem(m_sessionList->count() - 1);
    }
    QListWidgetItem *selected = nullptr;
    for (int row = 0; row < count; ++row) {
        const SessionDocument &session = sessions[row];
        QListWidgetItem *item = row < m_sessionList->count() ? m_sessionList->item(row)
                                                             : new QListWidgetItem(m_sessionList);
        item->setText(text(session.title) + QLatin1Char('\n') + frameCount(session.frames.size()));
        item->setData(idRole, QString::fromStdString(session.id.text()));
        item->setToolTip(text(session.title));
        if (session.id == m_model.selectedSessionID()) {
            selected = item;
        }
    }
    if (m_sessionList->currentItem() != selected) {
        m_sessionList->setCurrentItem(selected);
    }
}

void SessionsWindow::refreshDetail()
{
    const SessionDocument *selected = m_model.selectedSession();
    if (!selected) {
        m_detailPages->setCurrentIndex(0);
        m_shownSessionID.reset();
        m_shownFrames.reset();
        return;
    }
    m_detailPages->setCurrentIndex(1);
    // A new selection (a click, a new session, an export's move) shows its own title.
    if (m_shownSessionID != selected->id) {
        m_shownSessionID = selected->id;
        m_titleField->setText(text(selected->title));
    }
    m_exportButton->setEnabled(!selected->frames.empty());
    m_framePages->setCurrentIndex(selected->frames.empty() ? 0 : 1);
    refreshFrames();
}

void SessionsWindow::refreshFrames()
{
    const SessionDocument &session = *m_model.selectedSession();
    if (m_shownFrames == session.frames) {
        return;
    }
    m_shownFrames = session.frames;
    m_frameList->clear();
    m_rowsByPath.clear();
    for (const SessionFrame &frame : session.frames) {
        auto *item = new QListWidgetItem(m_frameList);
        item->setData(idRole, QString::fromStdString(frame.id.text()));
        auto *row = new SessionFrameRow(frame);
        item->setSizeHint(row->sizeHint());
        m_frameList->setItemWidget(item, row);
        connect(row, &SessionFrameRow::deleteRequested, this, [this, frame] {
            confirmFrameDeletion(frame);
        });
        const auto path = m_model.assetPath(frame);
        if (!path) {
            row->showUnreadable();
            continue;
        }
        const QString file = QString::fromStdString(path->string());
        m_rowsByPath.insert(file, row);
        QImage thumbnail;
        const auto state = m_thumbnails->request(file, &thumbnail);
        if (state == SessionThumbnailCache::State::ready) {
            row->showThumbnail(thumbnail);
        } else if (state == SessionThumbnailCache::State::unreadable) {
            row->showUnreadable();
        }
    }
}

void SessionsWindow::onThumbnailReady(const QString &path)
{
    const QPointer<SessionFrameRow> row = m_rowsByPath.value(path);
    if (!row) {
        return;
    }
    QImage thumbnail;
    if (m_thumbnails->request(path, &thumbnail) == SessionThumbnailCache::State::ready) {
        row->showThumbnail(thumbnail);
    } else {
        row->showUnreadable();
    }
}

void SessionsWindow::showPendingError()
{
    if (m_showingError || !m_model.errorMessage()) {
        return;
    }
    m_showingError = true;
    m_dialogs.showError(this, text(*m_model.errorMessage()));
    m_model.clearErrorMessage();
    m_showingError = false;
}

void SessionsWindow::onSessionRowChanged()
{
    if (m_updatingViews) {
        return;
    }
    m_model.selectSession(idOf(m_sessionList->currentItem()));
}

void SessionsWindow::onFramesMoved(int first, int last, int destination)
{
    std::vector<int> offsets;
    for (int row = first; row <= last; ++row) {
        offsets.push_back(row);
    }
    // The list has moved its rows already; the model's order is what stays.
    m_shownFrames.reset();
    QTimer::singleShot(0, this, [this, offsets, destination] {
        m_model.moveFrames(offsets, destination);
        scheduleRefresh();
    });
}

void SessionsWindow::confirmSessionDeletion()
{
    const SessionDocument *selected = m_model.selectedSession();
    if (!selected) {
        return;
    }
    const QString message = QStringLiteral("\u201C%1\u201D and all of its frames will be deleted.")
                                .arg(text(selected->title));
    if (m_dialogs.confirmDeletion(this, QStringLiteral("Delete Session?"), message)) {
        m_model.deleteSession();
    }
}

void SessionsWindow::confirmFrameDeletion(const SessionFrame &frame)
{
    if (m_dialogs.confirmDeletion(this,
                                  QStringLiteral("Delete Frame?"),
                                  QStringLiteral("This frame will be removed from the session."))) {
        m_model.deleteFrame(frame);
    }
}

void SessionsWindow::exportPngFiles()
{
    if (const auto folder = m_dialogs.choosePngFolder(this)) {
        m_model.exportPNGs(folder->toStdString());
    }
}

void SessionsWindow::exportPdf()
{
    const SessionDocument *selected = m_model.selectedSession();
    if (!selected) {
        return;
    }
    const QString name = text(sanitizedSessionFileName(selected->title)) + QStringLiteral(".pdf");
    if (const auto file = m_dialogs.choosePdfFile(this, name)) {
        m_model.exportPDF(file->toStdString());
    }
}

} // namespace zentrel
