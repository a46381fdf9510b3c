#pragma once

#include "GoToLine.h"
#include "TForm.h"
#include "ui_UGoToLine.h"

#include <QString>
#include <cstddef>
#include <optional>
#include <utility>

class QPlainTextEdit;

// The "Go to Line" window: a line number and what it counts (a report line,
// a line of "A File" or of "Other File"). OK stays disabled until the box
// holds a number of 1 or more. It stores nothing; the report window keeps
// the choice.
class TGoToLine : public TForm {
    Q_OBJECT
public:
    explicit TGoToLine(QWidget *Owner = nullptr);

    void SetChoice(TLineChoice Choice);
    TLineChoice Choice() const;
    // The number in the box; nothing when it is not one of 1 or more. A
    // number too large to hold counts as the largest there is.
    std::optional<std::size_t> Number() const;

private:
    void lineNumberChange();

    Ui::GoToLine ui;
};

// Asks for a line in a new "Go to Line" window opened on Choice and, on OK,
// goes there in Field (GoToLine) and keeps the choice. Returns what the
// status bar says then ("" for the very line asked for); nothing when the
// window was cancelled. Names are the two files' names for the messages.
std::optional<QString> AskForLine(QWidget *Owner, QPlainTextEdit *Field, TLineChoice &Choice,
                                  const std::pair<QString, QString> &Names);
