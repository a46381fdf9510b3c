#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;

// The program's own help viewer: a non-modal window showing the HTML help
// file in a text browser. ShowHelp keeps one of them and raises it again.
class THelpViewer : public QWidget {
    Q_OBJECT
public:
    explicit THelpViewer(QWidget *Owner = nullptr);

    // Loads FileName afresh (it may have changed since) and shows the top
    // of the page: context 0.
    void OpenFile(const QString &FileName);

    QTextBrowser *Browser = nullptr;
};

// The viewer ShowHelp uses, or null before ShowHelp first found a file
// (or after its owner destroyed it).
THelpViewer *HelpViewer();
