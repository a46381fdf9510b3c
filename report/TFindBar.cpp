#include "TFindBar.h"

#include "ReportKinds.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTextCursor>
#include <QToolButton>

TFindBar::TFindBar(QPlainTextEdit *Field, QStatusBar *Status, QWidget *Parent)
    : QWidget(Parent), FField(Field), FStatus(Status), FSearch(Field->document()) {
    setObjectName(QStringLiteral("findBar"));
    auto *label = new QLabel(QStringLiteral("F&ind:"), this);
    findText = new QLineEdit(this);
    findText->setObjectName(QStringLiteral("findText"));
    label->setBuddy(findText);
    matchCase = new QCheckBox(QStringLiteral("Match &case"), this);
    matchCase->setObjectName(QStringLiteral("matchCase"));
    findPreviousButton = new QPushButton(QStringLiteral("&Previous"), this);
    findPreviousButton->setObjectName(QStringLiteral("findPreviousButton"));
    findNextButton = new QPushButton(QStringLiteral("&Next"), this);
    findNextButton->setObjectName(QStringLiteral("findNextButton"));
    closeFindButton = new QToolButton(this);
    closeFindButton->setObjectName(QStringLiteral("closeFindButton"));
    closeFindButton->setText(QStringLiteral("\u00D7"));
    closeFindButton->setToolTip(QStringLiteral("Close the find bar (Esc)"));
    closeFindButton->setAutoRaise(true);
    // In the report window (a dialog) Enter belongs to the box, not to a
    // default button.
    for (QPushButton *button : {findPreviousButton, findNextButton})
        button->setAutoDefault(false);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    row->addWidget(label);
    row->addWidget(findText, 1);
    row->addWidget(matchCase);
    row->addWidget(findPreviousButton);
    row->addWidget(findNextButton);
    row->addWidget(closeFindButton);

    const auto incremental = [this] {
        FStepping = false;
        if (findText->text().isEmpty()) {
            FSearch.Cancel();
            SetNotFoundTint(false);
            Say(QString());
            return;
        }
        Find(false, FOrigin);
    };
    connect(findText, &QLineEdit::textEdited, this, incremental);
    connect(matchCase, &QCheckBox::toggled, this, incremental);
    connect(findNextButton, &QPushButton::clicked, this, &TFindBar::FindNext);
    connect(findPreviousButton, &QPushButton::clicked, this, &TFindBar::FindPrevious);
    connect(closeFindButton, &QToolButton::clicked, this, &TFindBar::Close);
    connect(&FSearch, &TReportSearch::Found, this, &TFindBar::ShowMatch);
    connect(&FSearch, &TReportSearch::NotFound, this, &TFindBar::ShowNoMatch);
    hide();
}

void TFindBar::setVisible(bool Visible) {
    const bool changed = Visible != isVisible();
    QWidget::setVisible(Visible);
    if (changed)
        emit VisibilityChanged();
}

void TFindBar::Open() {
    const QTextCursor cursor = FField->textCursor();
    const QString selected = cursor.selectedText();
    if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator))
        findText->setText(selected);
    FOrigin = cursor.selectionStart();
    SetNotFoundTint(false);
    show();
    findText->setFocus(Qt::ShortcutFocusReason);
    findText->selectAll();
}

void TFindBar::FindNext() {
    Step(false);
}

void TFindBar::FindPrevious() {
    Step(true);
}

void TFindBar::Step(bool Backward) {
    // Nothing to repeat yet: the bar opens to ask for it.
    if (findText->text().isEmpty()) {
        Open();
        return;
    }
    FStepping = true;
    const QTextCursor cursor = FField->textCursor();
    Find(Backward, Backward ? cursor.selectionStart() : cursor.selectionEnd());
}

void TFindBar::Close() {
    FSearch.Cancel();
    hide();
    FField->setFocus(Qt::OtherFocusReason);
}

void TFindBar::Find(bool Backward, int From) {
    FSearch.Start({.Text = findText->text(),
                   .MatchCase = matchCase->isChecked(),
                   .Backward = Backward,
                   .From = From});
}

void TFindBar::ShowMatch(int Position, int Length, bool Wrapped) {
    QTextCursor cursor(FField->document());
    cursor.setPosition(Position);
    cursor.setPosition(Position + Length, QTextCursor::KeepAnchor);
    FField->setTextCursor(cursor);
    FField->ensureCursorVisible();
    // Typing on after a Next searches on from this match.
    if (FStepping)
        FOrigin = Position;
    SetNotFoundTint(false);
    Say(Wrapped ? QStringLiteral("Search wrapped") : QString());
}

void TFindBar::ShowNoMatch() {
    SetNotFoundTint(true);
    Say(QStringLiteral("Not found: ") + findText->text());
}

void TFindBar::Say(const QString &Message) {
    // Only what the bar said itself gives way; "All Done" stays.
    if (Message.isEmpty()) {
        if (!FSaid.isEmpty() && FStatus->currentMessage() == FSaid)
            FStatus->clearMessage();
    } else {
        FStatus->showMessage(Message);
    }
    FSaid = Message;
}

// The tint of lines only in the first file: red, and the text readable on
// it in light and dark themes alike. Off, the box takes its parent's colours
// again, so a theme switched meanwhile holds.
void TFindBar::SetNotFoundTint(bool On) {
    QPalette palette;
    if (On)
        palette.setColor(QPalette::Base, TReportKinds(FField->palette())
                                             .BlockFormat(TLineKind::OnlyInFirst)
                                             .background()
                                             .color());
    findText->setPalette(palette);
}

void TFindBar::keyPressEvent(QKeyEvent *Event) {
    switch (Event->key()) {
    case Qt::Key_Escape:
        Close();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (Event->modifiers() & Qt::ShiftModifier)
            FindPrevious();
        else
            FindNext();
        break;
    default:
        QWidget::keyPressEvent(Event);
        return;
    }
    Event->accept();
}
