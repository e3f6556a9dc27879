#pragma once

class QMessageBox;

namespace zentrel {

// Gives the box's text a column about as wide as a desktop dialog's, sixty characters: a
// message box otherwise takes the width of its heading, and under a short one such as "Zentrel"
// a sentence wraps after every few words. Call it once the texts are set.
void setReadableWidth(QMessageBox &box);

} // namespace zentrel
