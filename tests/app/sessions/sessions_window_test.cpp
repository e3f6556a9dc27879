#include "sessions/sessions_window.h"

#include "fakes/fake_clock.h"
#include "fakes/temporary_directory.h"
#include "sessions/session_dialogs.h"
#include "sessions/session_frame_row.h"
#include "sessions/session_library_model.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace zentrel {
namespace {

// Answers the window's alerts and panels as the test says, and records what was asked.
class FakeSessionDialogs final : public SessionDialogs
{
public:
    bool confirmDeletion(QWidget *, const QString &title, const QString &text) override
    {
        confirmations.append(title + QStringLiteral(": ") + text);
        return confirms;
    }

    void showError(QWidget *, const QString &text) override { errors.append(text); }

    std::optional<QString> choosePngFolder(QWidget *) override { return chosenPath; }

    std::optional<QString> choosePdfFile(QWidget *, const QString &fileName) override
    {
        proposedNames.append(fileName);
        return chosenPath;
    }

    bool confirms = false;
    std::optional<QString> chosenPath;
    QStringList confirmations;
    QStringList errors;
    QStringList proposedNames;
};

std::string pngOf(QSize size, QColor color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

class SessionsWindowTest : public testing::Test
{
protected:
    SessionsWindowTest()
        : store(folder / "Sessions", clock, [this] {
            return Uuid::generate([this] { return ++m_draw; });
        })
    {}

    // Builds the model and window over what the test put on disk, and shows it.
    void open()
    {
        model = std::make_unique<SessionLibraryModel>(store);
        window = std::make_unique<SessionsWindow>(*model, dialogs);
        window->show();
        settle();
    }

    static void settle() { QCoreApplication::processEvents(); }

    template <typename T>
    T *child(const char *name) const
    {
        return window->findChild<T *>(QString::fromLatin1(name));
    }

    QListWidget *sessionList() const { return child<QListWidget>("sessionList"); }

    QListWidget *frameList() const { return child<QListWidget>("frameList"); }

    QLineEdit *titleField() const { return child<QLineEdit>("titleField"); }

    bool shows(const QString &text) const
    {
        for (const QLabel *label : window->findChildren<QLabel *>()) {
            if (label->text() == text && label->isVisibleTo(window.get())) {
                return true;
            }
        }
        return false;
    }

    SessionFrameRow *row(int index) const
    {
        return qobject_cast<SessionFrameRow *>(frameList()->itemWidget(frameList()->item(index)));
    }

    // A thumbnail or the unreadable symbol, once the worker has decoded it.
    static bool waitForPicture(SessionFrameRow *frameRow)
    {
        const QDeadlineTimer deadline(5000);
        auto *thumbnail = frameRow->findChild<QLabel *>();
        while (thumbnail->pixmap().isNull() && !deadline.hasExpired()) {
            QTest::qWait(10);
        }
        return !thumbnail->pixmap().isNull();
    }

    TemporaryDirectory folder;
    FakeClock clock{Timestamp{} + std::chrono::seconds(1767225600)};
    SessionStore store;
    FakeSessionDialogs dialogs;
    std::unique_ptr<SessionLibraryModel> model;
    std::unique_ptr<SessionsWindow> window;

private:
    std::uint64_t m_draw = 0;
};

TEST_F(SessionsWindowTest, EmptyLibraryShowsNoSessionAndNewSessionFillsTheTitle)
{
    open();
    EXPECT_EQ(window->size(), QSize(900, 600));
    EXPECT_EQ(sessionList()->count(), 0);
    EXPECT_TRUE(shows(QStringLiteral("No Session")));

    child<QToolButton>("newSessionButton")->click();
    settle();
    ASSERT_EQ(sessionList()->count(), 1);
    EXPECT_EQ(sessionList()->item(0)->text(), QStringLiteral("Untitled Session\n0 frames"));
    EXPECT_EQ(titleField()->text(), QStringLiteral("Untitled Session"));
    EXPECT_TRUE(shows(QStringLiteral("No Frames")));
    EXPECT_FALSE(child<QToolButton>("exportButton")->isEnabled());
}

TEST_F(SessionsWindowTest, FramesShowThumbnailsOrTheUnreadableSymbol)
{
    ASSERT_TRUE(store.addFrame(pngOf({320, 200}, Qt::red), SessionFrameSource::drawing));
    const SessionDocument session =
        store.addFrame(pngOf({160, 90}, Qt::blue), SessionFrameSource::whiteboard).value();
    std::filesystem::remove(*store.frameFile(session.id, session.frames[1]));
    open();

    ASSERT_EQ(frameList()->count(), 2);
    EXPECT_EQ(sessionList()->item(0)->text(), QStringLiteral("Untitled Session\n2 frames"));
    ASSERT_TRUE(waitForPicture(row(0)));
    ASSERT_TRUE(waitForPicture(row(1)));
    const QImage thumbnail = row(0)->findChild<QLabel *>()->pixmap().toImage();
    EXPECT_EQ(thumbnail.size(), QSize(144, 90));
    EXPECT_EQ(thumbnail.pixelColor(72, 45), QColor(Qt::red));
    const QImage missing = row(1)->findChild<QLabel *>()->pixmap().toImage();
    // A thumbnail of that frame would be 144 × 81; the symbol is a small square.
    EXPECT_EQ(missing.width(), missing.height()) << "a missing file shows the symbol";
    EXPECT_LT(missing.width(), 81);
    EXPECT_TRUE(child<QToolButton>("exportButton")->isEnabled());
}

TEST_F(SessionsWindowTest, DeletionsAskFirstAndErrorsShowOnce)
{
    store.createSession("Keynote").value();
    open();
    child<QToolButton>("deleteSessionButton")->click();
    settle();
    ASSERT_EQ(dialogs.confirmations.size(), 1);
    EXPECT_EQ(dialogs.confirmations[0],
              QStringLiteral("Delete Session?: \u201CKeynote\u201D and all of its frames will be "
                             "deleted."));
    EXPECT_EQ(sessionList()->count(), 1) << "Cancel keeps it";

    titleField()->setText(QStringLiteral("   "));
    QTest::keyClick(titleField(), Qt::Key_Return);
    settle();
    EXPECT_EQ(dialogs.errors, QStringList{QStringLiteral("The session title cannot be empty.")});
    EXPECT_EQ(model->errorMessage(), std::nullopt);

    dialogs.confirms = true;
    child<QToolButton>("deleteSessionButton")->click();
    settle();
    EXPECT_EQ(sessionList()->count(), 0);
    EXPECT_TRUE(shows(QStringLiteral("No Session")));
}

TEST_F(SessionsWindowTest, PdfExportProposesTheSanitisedTitleAndKeepsTheSessionSelected)
{
    const SessionDocument session =
        store.addFrame(pngOf({64, 48}, Qt::green), SessionFrameSource::freeze).value();
    SessionDocument renamed = session;
    renamed.title = "Talk: one/two";
    ASSERT_TRUE(store.saveManifest(renamed));
    open();

    const QString pdf = QString::fromStdString((folder / "talk.pdf").string());
    dialogs.chosenPath = pdf;
    const QList<QAction *> actions = child<QToolButton>("exportButton")->menu()->actions();
    ASSERT_EQ(actions.size(), 2);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("PNG Files\u2026"));
    actions[1]->trigger();
    settle();
    EXPECT_EQ(dialogs.proposedNames, QStringList{QStringLiteral("Talk- one-two.pdf")});
    EXPECT_TRUE(std::filesystem::exists(folder / "talk.pdf"));
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();
    // The export closed the active session, but the exported one stays in view, ready for the
    // other format.
    EXPECT_EQ(titleField()->text(), QStringLiteral("Talk: one/two"));
    EXPECT_EQ(sessionList()->count(), 2);
    EXPECT_EQ(sessionList()->currentItem()->text(), QStringLiteral("Talk: one/two\n1 frame"));
    EXPECT_TRUE(child<QToolButton>("exportButton")->isEnabled());
}

TEST_F(SessionsWindowTest, SidebarKeepsItsScrollAndSelectionAcrossChanges)
{
    for (int number = 1; number <= 30; ++number) {
        clock.advance(std::chrono::seconds(1));
        ASSERT_TRUE(store.createSession("Session " + std::to_string(number)));
    }
    open();
    QListWidget *list = sessionList();
    QScrollBar *scrollBar = list->verticalScrollBar();
    ASSERT_GT(scrollBar->maximum(), 0) << "the list must scroll for this test";
    scrollBar->setValue(scrollBar->maximum());
    settle();
    const int scrolled = scrollBar->value();

    // A click selects through the model, whose change comes back to the list.
    QListWidgetItem *clicked = list->itemAt(list->viewport()->rect().center());
    ASSERT_NE(clicked, nullptr);
    const int clickedRow = list->row(clicked);
    const auto clickedID = Uuid::parse(clicked->data(Qt::UserRole).toString().toStdString());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(clicked).center());
    settle();
    ASSERT_EQ(model->selectedSessionID(), clickedID);
    EXPECT_EQ(scrollBar->value(), scrolled);
    EXPECT_EQ(list->currentRow(), clickedRow);

    // Another session retitled elsewhere: its row shows the new title, the rest stays put.
    SessionDocument other = model->sessions().back();
    ASSERT_NE(other.id, model->selectedSessionID());
    other.title = "Retitled";
    ASSERT_TRUE(store.saveManifest(other));
    model->reload();
    settle();
    EXPECT_EQ(list->item(list->count() - 1)->text(), QStringLiteral("Retitled\n0 frames"));
    EXPECT_EQ(scrollBar->value(), scrolled);
    EXPECT_EQ(list->currentRow(), clickedRow);
    EXPECT_EQ(titleField()->text(), list->currentItem()->toolTip());
}

TEST_F(SessionsWindowTest, MovingARowReordersTheStoredFrames)
{
    for (QColor color : {QColor(Qt::red), QColor(Qt::green), QColor(Qt::blue)}) {
        ASSERT_TRUE(store.addFrame(pngOf({8, 8}, color), SessionFrameSource::drawing));
    }
    open();
    const SessionDocument before = *model->selectedSession();
    ASSERT_TRUE(frameList()->model()->moveRows(QModelIndex(), 0, 1, QModelIndex(), 3));
    settle();
    settle();
    const SessionDocument after = store.loadSession(before.id).value();
    ASSERT_EQ(after.frames.size(), 3u);
    EXPECT_EQ(after.frames[0].id, before.frames[1].id);
    EXPECT_EQ(after.frames[1].id, before.frames[2].id);
    EXPECT_EQ(after.frames[2].id, before.frames[0].id);
    EXPECT_EQ(frameList()->item(2)->data(Qt::UserRole).toString().toStdString(),
              before.frames[0].id.text());
}

} // namespace
} // namespace zentrel
