#include "FileNameBox.h"

#include <QComboBox>
#include <QLineEdit>
#include <QToolTip>

void ShowTipUnder(QWidget *Box, const QString &Text) {
    QToolTip::showText(Box->mapToGlobal(QPoint(0, Box->height())), Text, Box);
}

bool CheckFileNameGiven(QWidget *Box) {
    QString Name;
    if (const auto *Combo = qobject_cast<const QComboBox *>(Box))
        Name = Combo->currentText();
    else if (const auto *Edit = qobject_cast<const QLineEdit *>(Box))
        Name = Edit->text();
    if (!Name.isEmpty())
        return true;
    // The focus first: a tip hides when the focus moves.
    Box->setFocus(Qt::OtherFocusReason);
    ShowTipUnder(Box, QStringLiteral("Name a file to compare"));
    return false;
}
