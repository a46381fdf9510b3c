#include "UMyWizard.h"

#include <QColor>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QStackedWidget>
#include <vector>

TMyWizard::TMyWizard(QWidget *Owner, const std::string &KeyPath, const std::string &Name,
                     int LastPage)
    : TMyForm(Owner, KeyPath, Name + "\\Wizard"), FirstPage(0), LastPage(LastPage) {}

void TMyWizard::Loaded() {
    BtnBack = findChild<QPushButton *>(QStringLiteral("BtnBack"));
    BtnNext = findChild<QPushButton *>(QStringLiteral("BtnNext"));
    notebook = findChild<QStackedWidget *>(QStringLiteral("notebook"));
    ImageFlag = findChild<QLabel *>(QStringLiteral("ImageFlag"));
    if (ImageFlag == nullptr)
        return;
    const QPixmap Picture = ImageFlag->pixmap();
    if (Picture.isNull())
        return;
    QImage Image = Picture.toImage();
    FillMagentaBackground(Image, palette().button().color());
    ImageFlag->setPixmap(QPixmap::fromImage(Image));
}

void TMyWizard::UpdateButtons() {
    const int Page = notebook != nullptr ? notebook->currentIndex() : FirstPage;
    const bool Last = Page == LastPage;
    if (BtnBack != nullptr)
        BtnBack->setVisible(Page != FirstPage);
    if (BtnNext == nullptr)
        return;
    BtnNext->setDefault(true);
    BtnNext->setText(Last ? QStringLiteral("&Finish") : QStringLiteral("&Next >"));
    SetModalResult(BtnNext, Last ? mrOk : mrNone);
    FocusPage();
}

void TMyWizard::FocusPage() {
    QWidget *Page = notebook != nullptr ? notebook->currentWidget() : nullptr;
    // The focus chain runs in Tab order over the whole window.
    for (QWidget *W = nextInFocusChain(); Page != nullptr && W != this; W = W->nextInFocusChain()) {
        if (!Page->isAncestorOf(W) || !W->isVisibleTo(Page) || !W->isEnabled() ||
            !(W->focusPolicy() & Qt::TabFocus))
            continue;
        W->setFocus(Qt::TabFocusReason);
        if (auto *Edit = qobject_cast<QLineEdit *>(W))
            Edit->selectAll();
        return;
    }
    BtnNext->setFocus(Qt::TabFocusReason);
}

void FillMagentaBackground(QImage &Image, const QColor &Colour) {
    if (Image.width() < 2 || Image.height() < 2)
        return;
    if (Image.format() != QImage::Format_ARGB32 && Image.format() != QImage::Format_RGB32)
        Image = Image.convertToFormat(QImage::Format_ARGB32);
    const QRgb Magenta = qRgb(255, 0, 255);
    const QRgb Fill = Colour.rgb();
    auto IsMagenta = [&Image, Magenta](int X, int Y) { return Image.pixel(X, Y) == Magenta; };
    if (!IsMagenta(1, 1) || Fill == Magenta)
        return;

    // An explicit stack instead of recursion: a large background would
    // otherwise exhaust the call stack.
    std::vector<QPoint> Pending{QPoint(1, 1)};
    while (!Pending.empty()) {
        const QPoint P = Pending.back();
        Pending.pop_back();
        if (P.x() < 0 || P.y() < 0 || P.x() >= Image.width() || P.y() >= Image.height())
            continue;
        if (!IsMagenta(P.x(), P.y()))
            continue;
        Image.setPixel(P, Fill);
        Pending.push_back(QPoint(P.x() + 1, P.y()));
        Pending.push_back(QPoint(P.x() - 1, P.y()));
        Pending.push_back(QPoint(P.x(), P.y() + 1));
        Pending.push_back(QPoint(P.x(), P.y() - 1));
    }
}
