#pragma once

#include <QString>
#include <QWidget>

class QPushButton;
class QTextBrowser;

// The program's own help viewer: a non-modal window showing the HTML help
// file in a text browser, with Back and Forward (Alt+Left, Alt+Right) over
// the links followed; Esc and Ctrl+W close it. ShowHelp keeps one of them
// and raises it again.
class THelpViewer : public QWidget {
    Q_OBJECT
public:
    explicit THelpViewer(QWidget *Owner = nullptr);

    // Loads FileName afresh (it may have changed since) and shows the
    // section Section (an anchor of the page), or the top of the page when
    // Section is empty: context 0.
    void OpenFile(const QString &FileName, const QString &Section = QString());

    QTextBrowser *Browser = nullptr;
    QPushButton *BackButton = nullptr;
    QPushButton *ForwardButton = nullptr;

private:
    // Back or Forward (Step): to the place where the page was left.
    void Go(void (QTextBrowser::*Step)());
};

// The viewer ShowHelp uses, or null before ShowHelp first found a file
// (or after its owner destroyed it).
THelpViewer *HelpViewer();

// Opens the help file "Tarnwells.hlp" found beside the program, else in its
// parent folder, else in ../share/tarnwell/, in the program's help viewer
// (one window, raised on later calls, at the anchor Section or else at the
// top; a viewer not on screen opens over the window that asked); when none
// exists shows the box "Can't find the help file".
void ShowHelp(const QString &Section = QString());
// The folder ShowHelp searches from: the program's folder unless a test has
// set another; an empty Folder restores the program's.
void SetHelpProgramFolder(const QString &Folder);
// The last help file path ShowHelp tried; empty before its first call.
QString HelpFileName();
