#include "LabelFit.h"

#include <QLabel>

#include <algorithm>

void FitLabelsToText(QWidget *Form) {
    for (QLabel *label : Form->findChildren<QLabel *>()) {
        if (label->text().isEmpty())
            continue;
        QRect bounds = label->geometry();
        if (label->wordWrap()) {
            bounds.setHeight(std::max(bounds.height(), label->heightForWidth(bounds.width())));
        } else {
            const QSize wanted = label->sizeHint();
            const int width = std::max(bounds.width(), wanted.width());
            if (label->alignment() & Qt::AlignRight)
                bounds.setLeft(bounds.right() + 1 - width);
            else
                bounds.setWidth(width);
            bounds.setHeight(std::max(bounds.height(), wanted.height()));
        }
        label->setGeometry(bounds);
    }
}
