#pragma once

#include <QString>

class QWidget;

// Says Text in a tool tip just under Box, as a note about what it holds.
void ShowTipUnder(QWidget *Box, const QString &Text);

// True when the file-name box Box (a line edit or an editable combo box)
// holds a name. An empty one gets the focus and the tip "Name a file to
// compare", and the caller stays where it is. A name of blanks counts: it
// may name a file.
bool CheckFileNameGiven(QWidget *Box);
