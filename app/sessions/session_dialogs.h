#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace zentrel {

// The alerts and file panels of the "Sessions" window, so tests can answer them.
class SessionDialogs
{
public:
    virtual ~SessionDialogs() = default;

    // A destructive confirmation: "Delete" or "Cancel". True when the user chose to delete.
    virtual bool confirmDeletion(QWidget *parent, const QString &title, const QString &text) = 0;
    // The "Session Error" alert with its one "OK" button.
    virtual void showError(QWidget *parent, const QString &text) = 0;
    // The folder for numbered PNG files, or nothing when cancelled.
    virtual std::optional<QString> choosePngFolder(QWidget *parent) = 0;
    // The PDF file to write, proposing `fileName`, or nothing when cancelled.
    virtual std::optional<QString> choosePdfFile(QWidget *parent, const QString &fileName) = 0;
};

// Message boxes and Qt's own file dialogs.
class QtSessionDialogs final : public SessionDialogs
{
public:
    bool confirmDeletion(QWidget *parent, const QString &title, const QString &text) override;
    void showError(QWidget *parent, const QString &text) override;
    std::optional<QString> choosePngFolder(QWidget *parent) override;
    std::optional<QString> choosePdfFile(QWidget *parent, const QString &fileName) override;
};

} // namespace zentrel
