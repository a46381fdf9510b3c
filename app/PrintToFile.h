#pragma once

class QPrintDialog;

// Fits Qt's print dialog for printing to a file the program's way. Its file
// box completes names without reading any file (NameOnlyIcons.h), its "..."
// opens a file dialog of the same kind, and its Print button first checks
// the file named with CheckWriteTarget: one that is not a regular file, a
// new name or a link to a regular file is refused in the standard error box
// and the dialog stays open, before Qt would open it (a FIFO would hold the
// program there for good).
void GuardPrintToFile(QPrintDialog *Dialog);
