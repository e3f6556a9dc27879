#include "hotkeys/shortcut_recorder.h"

#include "common/readable_message_box.h"
#include "hotkeys/hotkey_registry.h"
#include "hotkeys/shortcut_text.h"
#include "platform/sound_player.h"
#include "platform/x11/input/x11_combination.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>

namespace zentrel {
namespace {

constexpr int recorderWidth = 130;
// A click this close outside the box still counts as inside it.
constexpr int clickSlack = 3;

const QString recordPlaceholder = QStringLiteral("Record Shortcut");
const QString pressPlaceholder = QStringLiteral("Press Shortcut");

bool isModifierKey(int key)
{
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
        return true;
    default:
        return false;
    }
}

// Qt calls the Super key Meta on X11.
ModifierFlags modifierFlags(Qt::KeyboardModifiers modifiers)
{
    return ModifierFlags{}
        .with(ModifierFlag::control, modifiers.testFlag(Qt::ControlModifier))
        .with(ModifierFlag::option, modifiers.testFlag(Qt::AltModifier))
        .with(ModifierFlag::shift, modifiers.testFlag(Qt::ShiftModifier))
        .with(ModifierFlag::command, modifiers.testFlag(Qt::MetaModifier));
}

} // namespace

ShortcutRecorder::ShortcutRecorder(Services services, hotkeys::Name name, QWidget *parent)
    : QLineEdit(parent)
    , m_services(std::move(services))
    , m_name(std::move(name))
{
    setPlaceholderText(recordPlaceholder);
    setAlignment(Qt::AlignCenter);
    setClearButtonEnabled(true);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setContextMenuPolicy(Qt::NoContextMenu);
    setMinimumWidth(recorderWidth);
    showStoredShortcut();
    // The clear button empties the text as an edit; typing never reaches the text.
    connect(this, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (text.isEmpty()) {
            clearShortcut();
            setFocus(Qt::OtherFocusReason);
            if (hasFocus()) {
                startRecording();
            }
        }
    });
    m_shortcutConnection =
        m_services.hotkeys.shortcutChanged.connect([this](const std::string &rawName) {
            if (rawName == m_name.rawValue) {
                showStoredShortcut();
            }
        });
    m_keymapConnection = m_services.hotkeys.keymapChanged.connect([this] { showStoredShortcut(); });
}

ShortcutRecorder::~ShortcutRecorder()
{
    endRecording();
}

void ShortcutRecorder::setShortcutName(const hotkeys::Name &name)
{
    const bool isOther = name.rawValue != m_name.rawValue;
    m_name = name;
    if (isOther) {
        showStoredShortcut();
    }
}

QSize ShortcutRecorder::sizeHint() const
{
    return QSize(recorderWidth, QLineEdit::sizeHint().height());
}

// While recording the box stays empty, so that its request for a chord shows.
void ShortcutRecorder::showStoredShortcut()
{
    if (m_isRecording) {
        return;
    }
    const auto shortcut = m_services.hotkeys.shortcut(m_name);
    setText(shortcut ? QString::fromStdString(hotkeys::menuText(*shortcut, m_services.layout))
                     : QString());
}

// A window that becomes active hands its focus back without the user asking for a recording;
// only the return from a clash warning resumes one that way.
void ShortcutRecorder::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (event->reason() != Qt::ActiveWindowFocusReason || m_resumesAfterWarning) {
        m_resumesAfterWarning = false;
        startRecording();
    }
}

// The box may hold the focus without recording (its window handed it back); a click records.
void ShortcutRecorder::mousePressEvent(QMouseEvent *event)
{
    QLineEdit::mousePressEvent(event);
    if (hasFocus()) {
        startRecording();
    }
}

void ShortcutRecorder::focusOutEvent(QFocusEvent *event)
{
    endRecording();
    QLineEdit::focusOutEvent(event);
}

void ShortcutRecorder::startRecording()
{
    if (m_isRecording || !window()->isVisible()) {
        return;
    }
    m_isRecording = true;
    clear();
    // Read-only hides the caret: nothing is typed here.
    setReadOnly(true);
    showPrompt(pressPlaceholder);
    m_services.hotkeys.pause();
    // Held so the chord reaches us rather than whoever grabbed it, our own hot keys included.
    grabKeyboard();
    qApp->installEventFilter(this);
}

// Only a recorder that paused dispatch resumes it: with two recorders, the first to end must
// not wake the hot keys while the other still records.
void ShortcutRecorder::endRecording()
{
    if (!m_isRecording) {
        return;
    }
    m_isRecording = false;
    qApp->removeEventFilter(this);
    releaseKeyboard();
    m_services.hotkeys.resume();
    setReadOnly(false);
    showPrompt(recordPlaceholder);
    setRefusal(QString(), QString());
    showStoredShortcut();
}

// A centred box with the focus neither shows its placeholder nor repaints when it changes: the
// box's own paint shows it (see paintEvent), so the whole box is painted anew, not only what
// the caret's blink or the cleared text would repaint.
void ShortcutRecorder::showPrompt(const QString &text)
{
    setPlaceholderText(text);
    update();
}

// A centred box hides its placeholder while it has the focus, which is just while it records;
// the request for a chord is drawn here instead.
void ShortcutRecorder::paintEvent(QPaintEvent *event)
{
    QLineEdit::paintEvent(event);
    if (!m_isRecording || !text().isEmpty()) {
        return;
    }
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::PlaceholderText));
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect area = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    painter.drawText(area,
                     Qt::AlignCenter,
                     fontMetrics().elidedText(placeholderText(), Qt::ElideRight, area.width()));
}

bool ShortcutRecorder::event(QEvent *event)
{
    // Taken before the widget's own Tab and shortcut handling while recording.
    if (m_isRecording && event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    if (m_isRecording && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool plainTab = key->key() == Qt::Key_Tab && key->modifiers() == Qt::NoModifier;
        if (!plainTab) {
            handleKeyPress(*key);
            return true;
        }
    }
    if (!m_isRecording && event->type() == QEvent::KeyPress) {
        // Typing never edits the text; Tab and the like still move the focus.
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab) {
            return true;
        }
    }
    return QLineEdit::event(event);
}

bool ShortcutRecorder::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease && m_isRecording) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const QRect area = rect().adjusted(-clickSlack, -clickSlack, clickSlack, clickSlack);
        if (!area.contains(mapFromGlobal(mouse->globalPosition().toPoint()))) {
            clearFocus();
        }
    }
    return QLineEdit::eventFilter(watched, event);
}

void ShortcutRecorder::handleKeyPress(const QKeyEvent &event)
{
    if (isModifierKey(event.key())) {
        return;
    }
    const auto carbonKeyCode = carbonKeyCodeOfX11Keycode(event.nativeScanCode());
    if (!carbonKeyCode) {
        m_services.sounds.beep();
        return;
    }
    const auto decision = hotkeys::decideRecordedKey(
        *carbonKeyCode,
        modifierFlags(event.modifiers()),
        m_name.rawValue,
        m_services.takenShortcuts ? m_services.takenShortcuts()
                                  : std::vector<hotkeys::NamedShortcut>{},
        [this](const hotkeys::Shortcut &shortcut) {
            return m_services.grabber.isHeldElsewhere(shortcut);
        });
    using Kind = hotkeys::RecorderDecision::Kind;
    if (decision.kind != Kind::needsModifier) {
        setRefusal(QString(), QString());
    }
    switch (decision.kind) {
    case Kind::endAndPassOn:
        focusNextChild();
        return;
    case Kind::end:
        endRecording();
        clearFocus();
        return;
    case Kind::clear:
        if (m_services.hotkeys.shortcut(m_name)) {
            clearShortcut();
        }
        return;
    case Kind::needsModifier:
        askForModifier(*decision.shortcut);
        return;
    case Kind::hotkeyClash:
        warn(QStringLiteral(
                 "This shortcut is already used by Zentrel\u2019s \u201C%1\u201D hot key.")
                 .arg(QString::fromStdString(decision.clashTitle)),
             {},
             std::nullopt);
        return;
    case Kind::systemClash:
        warn(QStringLiteral("This shortcut is already used by another program."),
             QStringLiteral("Choose another one, or change it in the settings of the program "
                            "that uses it."),
             decision.shortcut);
        return;
    case Kind::store:
        store(*decision.shortcut);
        return;
    }
}

// The box keeps recording and says why, beside the beep; what was stored stays.
void ShortcutRecorder::askForModifier(const hotkeys::Shortcut &shortcut)
{
    const QString key = QString::fromStdString(hotkeys::menuText(shortcut, m_services.layout));
    m_services.sounds.beep();
    setRefusal(QStringLiteral("%1 needs a modifier").arg(key),
               QStringLiteral("Zentrel takes only keys held with Ctrl, Alt or Super, and function "
                              "keys, so that %1 stays with the other programs.")
                   .arg(key));
}

void ShortcutRecorder::setRefusal(const QString &refusal, const QString &explanation)
{
    setToolTip(explanation);
    if (refusal != m_refusal) {
        m_refusal = refusal;
        Q_EMIT refusalChanged(m_refusal);
    }
}

// Recording ends at once, and the box shows what is now stored.
void ShortcutRecorder::store(const hotkeys::Shortcut &shortcut)
{
    m_services.hotkeys.setShortcut(shortcut, m_name);
    Q_EMIT shortcutChanged(shortcut);
    endRecording();
    clearFocus();
}

void ShortcutRecorder::clearShortcut()
{
    m_services.hotkeys.setShortcut(std::nullopt, m_name);
    Q_EMIT shortcutChanged(std::nullopt);
}

// Recording ends while the warning is up and starts again after it, unless the user chose to
// use a combination another program holds.
void ShortcutRecorder::warn(const QString &text,
                            const QString &informative,
                            std::optional<hotkeys::Shortcut> storable)
{
    clearFocus();
    m_alert = new QMessageBox(
        QMessageBox::Warning, QStringLiteral("Zentrel"), text, QMessageBox::NoButton, this);
    m_alert->setInformativeText(informative);
    setReadableWidth(*m_alert);
    m_alert->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton *ok = m_alert->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    QPushButton *useAnyway =
        storable ? m_alert->addButton(QStringLiteral("Use Anyway"), QMessageBox::DestructiveRole)
                 : nullptr;
    m_alert->setDefaultButton(ok);
    m_alert->setEscapeButton(ok);
    connect(m_alert,
            &QMessageBox::buttonClicked,
            this,
            [this, useAnyway, storable](QAbstractButton *chosen) {
                if (useAnyway && chosen == useAnyway) {
                    store(*storable);
                    return;
                }
                m_resumesAfterWarning = true;
                setFocus(Qt::OtherFocusReason);
            });
    m_alert->open();
}

QMessageBox *ShortcutRecorder::clashAlert() const
{
    return m_alert;
}

} // namespace zentrel
