// The property panel's "More properties" menu and its "Element Link" alert.
#include "whiteboard/editor/commands/whiteboard_property_commands.h"
#include "whiteboard/editor/commands/whiteboard_styles.h"
#include "whiteboard/editor/whiteboard_editor_model.h"
#include "whiteboard/properties/whiteboard_property_panel.h"
#include "whiteboard/toolbar/whiteboard_text_alert.h"

#include <QBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>

namespace zentrel {

namespace {

// "cross-hatch" → "Cross-Hatch": each word's first letter in upper case.
QString capitalizedWords(std::string_view word)
{
    QString text = QString::fromUtf8(word.data(), static_cast<qsizetype>(word.size()));
    bool startsWord = true;
    for (QChar &character : text) {
        if (character.isLetter()) {
            if (startsWord) {
                character = character.toUpper();
            }
            startsWord = false;
        } else {
            startsWord = true;
        }
    }
    return text;
}

} // namespace

void WhiteboardPropertyPanel::addMoreProperties(QBoxLayout *layout)
{
    m_moreButton = new QToolButton(this);
    m_moreButton->setText(QStringLiteral("More properties"));
    m_moreButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_moreButton->setAutoRaise(true);
    m_moreButton->setFocusPolicy(Qt::NoFocus);
    m_moreButton->setPopupMode(QToolButton::InstantPopup);
    m_moreButton->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_moreMenu = new QMenu(m_moreButton);
    connect(m_moreMenu, &QMenu::aboutToShow, this, &WhiteboardPropertyPanel::fillMoreMenu);
    m_moreButton->setMenu(m_moreMenu);
    layout->addWidget(m_moreButton);
}

void WhiteboardPropertyPanel::fillMoreMenu()
{
    m_moreMenu->clear();
    QMenu *strokeStyles = m_moreMenu->addMenu(QStringLiteral("Stroke style"));
    for (const auto style : allWhiteboardStrokeStyles) {
        strokeStyles->addAction(capitalizedWords(whiteboardStrokeStyleText.text(style)),
                                this,
                                [this, style] { setStrokeStyle(m_model, style); });
    }
    QMenu *fillStyles = m_moreMenu->addMenu(QStringLiteral("Fill style"));
    for (const auto style : allWhiteboardFillStyles) {
        fillStyles->addAction(capitalizedWords(whiteboardFillStyleText.text(style)),
                              this,
                              [this, style] { setFillStyle(m_model, style); });
    }
    if (selectionContainsKind(m_model, WhiteboardElementKind::rectangle)) {
        m_moreMenu->addAction(QStringLiteral("Toggle rounded corners"), this, [this] {
            toggleSelectionRoundedCorners(m_model);
        });
    }
    if (selectionContainsKind(m_model, WhiteboardElementKind::text)) {
        QMenu *fonts = m_moreMenu->addMenu(QStringLiteral("Font"));
        const std::pair<WhiteboardFontFamily, const char *> families[] = {
            {WhiteboardFontFamily::system, "System"},
            {WhiteboardFontFamily::monospace, "Monospace"},
            {WhiteboardFontFamily::handDrawn, "Hand-drawn"},
        };
        for (const auto &[family, name] : families) {
            fonts->addAction(QString::fromUtf8(name), this, [this, family] {
                applyFontFamily(m_model, family);
            });
        }
        QMenu *alignments = m_moreMenu->addMenu(QStringLiteral("Text alignment"));
        for (const auto alignment : allWhiteboardTextAlignments) {
            alignments->addAction(capitalizedWords(whiteboardTextAlignmentText.text(alignment)),
                                  this,
                                  [this, alignment] { applyTextAlignment(m_model, alignment); });
        }
    }
    m_moreMenu->addSeparator();
    m_moreMenu->addAction(QStringLiteral("Set hyperlink…"), this, [this] { startEditingLink(); })
        ->setEnabled(!m_model.selection().empty());
    for (QMenu *submenu : m_moreMenu->findChildren<QMenu *>()) {
        submenu->setPalette(m_moreMenu->palette());
    }
}

void WhiteboardPropertyPanel::makeLinkAlert()
{
    m_linkAlert = new WhiteboardTextAlert(
        QStringLiteral("Element Link"), QStringLiteral("https://example.com"), this);
    m_linkAlert->addAction(QStringLiteral("Remove"),
                           WhiteboardTextAlert::Role::destructive,
                           [this] { removeSelectionLink(m_model); });
    m_linkAlert->addAction(QStringLiteral("Cancel"), WhiteboardTextAlert::Role::cancel, [] {});
    m_linkAlert->addAction(QStringLiteral("Save"), WhiteboardTextAlert::Role::confirm, [this] {
        saveSelectionLink(m_model, m_linkDraft.toStdString());
    });
    connect(m_linkAlert->field(), &QLineEdit::textChanged, this, [this](const QString &text) {
        m_linkDraft = text;
    });
    connect(m_linkAlert, &QDialog::finished, this, [this] { m_isEditingLink = false; });
}

void WhiteboardPropertyPanel::startEditingLink()
{
    m_linkDraft = QString::fromStdString(selectionLinkDraft(m_model));
    m_isEditingLink = true;
    m_linkAlert->present(m_linkDraft);
}

} // namespace zentrel
