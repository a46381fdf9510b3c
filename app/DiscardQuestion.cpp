#include "DiscardQuestion.h"

#include "TForm.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QTextDocument>

bool MayDiscardChanges(QWidget *Parent, const QTextDocument *Report) {
    if (!Report->isModified())
        return true;
    QMessageBox Box(QMessageBox::Question, QGuiApplication::applicationDisplayName(),
                    QStringLiteral("Discard the changes you made to the report?"),
                    QMessageBox::Yes | QMessageBox::No, Parent);
    Box.setDefaultButton(QMessageBox::No);
    return ShowModal(&Box) == QMessageBox::Yes;
}
