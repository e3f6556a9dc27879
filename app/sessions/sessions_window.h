#pragma once

#include "common/signal.h"
#include "sessions/session_document.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QStackedWidget;
class QToolButton;

namespace zentrel {

class SessionDialogs;
class SessionFrameRow;
class SessionLibraryModel;
class SessionThumbnailCache;

// The "Sessions" window: the saved sessions in a sidebar; the selected one's title, its actions
// (save and close, delete, export) and its frames beside it. Every change goes through the
// model; the window keeps only the title being edited.
class SessionsWindow : public QWidget
{
    Q_OBJECT

public:
    SessionsWindow(SessionLibraryModel &model, SessionDialogs &dialogs, QWidget *parent = nullptr);
    ~SessionsWindow() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *makeSidebar();
    QWidget *makeDetail();
    QWidget *makeHeader();
    void scheduleRefresh();
    void refresh();
    void refreshSessionList();
    void refreshDetail();
    void refreshFrames();
    void showPendingError();
    void onSessionRowChanged();
    void onFramesMoved(int first, int last, int destination);
    void onThumbnailReady(const QString &path);
    void confirmSessionDeletion();
    void confirmFrameDeletion(const SessionFrame &frame);
    void exportPngFiles();
    void exportPdf();

    SessionLibraryModel &m_model;
    SessionDialogs &m_dialogs;
    SessionThumbnailCache *m_thumbnails;
    QListWidget *m_sessionList = nullptr;
    QStackedWidget *m_detailPages = nullptr;
    QLineEdit *m_titleField = nullptr;
    QToolButton *m_exportButton = nullptr;
    QStackedWidget *m_framePages = nullptr;
    QListWidget *m_frameList = nullptr;
    QHash<QString, QPointer<SessionFrameRow>> m_rowsByPath;
    // What the detail pane shows, so a refresh rebuilds only what changed.
    std::optional<Uuid> m_shownSessionID;
    std::optional<std::vector<SessionFrame>> m_shownFrames;
    bool m_refreshScheduled = false;
    bool m_updatingViews = false;
    bool m_showingError = false;
    ScopedConnection m_modelConnection;
};

} // namespace zentrel
