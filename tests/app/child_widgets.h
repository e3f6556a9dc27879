#pragma once

#include <QAbstractButton>
#include <QString>
#include <QWidget>

namespace zentrel {

// How the widget tests find a control: as a person or a screen reader does, by the name it
// announces or the text it shows. Null when there is none.
template <typename Widget = QAbstractButton>
Widget *childNamed(const QWidget &root, const QString &accessibleName)
{
    for (Widget *candidate : root.findChildren<Widget *>()) {
        if (candidate->accessibleName() == accessibleName) {
            return candidate;
        }
    }
    return nullptr;
}

template <typename Widget = QAbstractButton>
Widget *childWithText(const QWidget &root, const QString &text)
{
    for (Widget *candidate : root.findChildren<Widget *>()) {
        if (candidate->text() == text) {
            return candidate;
        }
    }
    return nullptr;
}

} // namespace zentrel
