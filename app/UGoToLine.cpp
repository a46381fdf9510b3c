#include "UGoToLine.h"

#include "LabelFit.h"

#include <limits>

TGoToLine::TGoToLine(QWidget *Owner) : TForm(Owner) {
    ui.setupUi(this);
    setFont(DesignFont());
    FitLabelsToText(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    SetOuterGeometry(QRect(200, 107, 297, 137));
    SetModalResult(ui.OKButton, mrOk);
    SetModalResult(ui.CancelButton, mrCancel);
    connect(ui.lineNumber, &QLineEdit::textChanged, this, &TGoToLine::lineNumberChange);
    lineNumberChange();
    ui.lineNumber->setFocus(Qt::TabFocusReason);
}

void TGoToLine::SetChoice(TLineChoice Choice) {
    QRadioButton *const buttons[] = {ui.reportLine, ui.firstFileLine, ui.secondFileLine};
    buttons[int(Choice)]->setChecked(true);
}

TLineChoice TGoToLine::Choice() const {
    return ui.firstFileLine->isChecked()    ? TLineChoice::FirstFile
           : ui.secondFileLine->isChecked() ? TLineChoice::SecondFile
                                            : TLineChoice::Report;
}

std::optional<std::size_t> TGoToLine::Number() const {
    const QString text = ui.lineNumber->text().trimmed();
    if (text.isEmpty())
        return std::nullopt;
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    bool fits = false;
    const qulonglong number = text.toULongLong(&fits);
    if (!fits)
        return std::numeric_limits<std::size_t>::max();
    if (number == 0)
        return std::nullopt;
    return std::size_t(number);
}

void TGoToLine::lineNumberChange() {
    ui.OKButton->setEnabled(Number().has_value());
}

std::optional<QString> AskForLine(QWidget *Owner, QPlainTextEdit *Field, TLineChoice &Choice,
                                  const std::pair<QString, QString> &Names) {
    TGoToLine window(Owner);
    window.SetChoice(Choice);
    if (ShowModal(&window) != mrOk || !window.Number())
        return std::nullopt;
    Choice = window.Choice();
    return GoToLine(Field, Choice, *window.Number(),
                    Choice == TLineChoice::SecondFile ? Names.second : Names.first);
}
