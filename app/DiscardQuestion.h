#pragma once

class QTextDocument;
class QWidget;

// Asks "Discard the changes you made to the report?" (Yes, No; No is the
// default and Esc) when Report is modified: the user changed it since the
// last run, load or save marked it unmodified. True when nothing of the
// user's is lost or the answer is Yes.
bool MayDiscardChanges(QWidget *Parent, const QTextDocument *Report);
