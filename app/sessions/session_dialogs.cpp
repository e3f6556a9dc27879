#include "sessions/session_dialogs.h"

#include "common/readable_message_box.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>

namespace zentrel {
namespace {

QString documentsFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return folder.isEmpty() || !QDir(folder).exists() ? QDir::homePath() : folder;
}

} // namespace

bool QtSessionDialogs::confirmDeletion(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton, parent);
    setReadableWidth(box);
    QPushButton *remove = box.addButton(QStringLiteral("Delete"), QMessageBox::DestructiveRole);
    QPushButton *cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    // A stray Return must not delete: deleting takes a click on Delete.
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == remove;
}

void QtSessionDialogs::showError(QWidget *parent, const QString &text)
{
    QMessageBox box(
        QMessageBox::Warning, QStringLiteral("Session Error"), text, QMessageBox::Ok, parent);
    setReadableWidth(box);
    box.exec();
}

std::optional<QString> QtSessionDialogs::choosePngFolder(QWidget *parent)
{
    QFileDialog dialog(parent, QStringLiteral("Export Session PNG Files"), documentsFolder());
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Export"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtSessionDialogs::choosePdfFile(QWidget *parent, const QString &fileName)
{
    QFileDialog dialog(parent, QStringLiteral("Export Session PDF"), documentsFolder());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QStringLiteral("PDF document (*.pdf)"));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Export"));
    dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

} // namespace zentrel
