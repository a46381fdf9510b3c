#pragma once

#include "TReportSearch.h"

#include <QWidget>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QToolButton;

// The find bar at the bottom of the report window, as browsers have one: a
// box for the text, "Match case", Next, Previous and a close button. Typing
// moves the selection to the first match at or after where the search
// started; Enter and Shift+Enter find the next and the previous match, Esc
// closes the bar and gives the report the focus, the match still selected.
// A search that wraps around says "Search wrapped"; one that finds nothing
// tints the box and says "Not found: TEXT".
class TFindBar : public QWidget {
    Q_OBJECT
public:
    TFindBar(QPlainTextEdit *Field, QStatusBar *Status, QWidget *Parent);

    // Shows the bar with the focus in its box, which takes the report's
    // selected text when there is some (on one line).
    void Open();
    // The next or previous match of the box's text, from the selection;
    // with the bar closed, the last search again (or the bar opens).
    void FindNext();
    void FindPrevious();
    // Hides the bar; the report takes the focus.
    void Close();

    void setVisible(bool Visible) override;
    TReportSearch &Search() { return FSearch; }

signals:
    // The bar was shown or hidden: the window lays itself out again.
    void VisibilityChanged();

protected:
    void keyPressEvent(QKeyEvent *Event) override;

private:
    void Find(bool Backward, int From);
    // The next or previous match from the selection (F3, Shift+F3).
    void Step(bool Backward);
    void ShowMatch(int Position, int Length, bool Wrapped);
    void ShowNoMatch();
    void Say(const QString &Message);
    void SetNotFoundTint(bool On);

    QPlainTextEdit *FField;
    QStatusBar *FStatus;
    TReportSearch FSearch;
    QLineEdit *findText;
    QCheckBox *matchCase;
    QPushButton *findNextButton;
    QPushButton *findPreviousButton;
    QToolButton *closeFindButton;
    int FOrigin = 0;        // where typing searches from
    bool FStepping = false; // the search is a Next or Previous
    QString FSaid;          // the status the bar showed last
};
