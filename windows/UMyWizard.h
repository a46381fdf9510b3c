#pragma once

#include "UMyForm.h"

class QColor;
class QImage;
class QLabel;
class QPushButton;
class QStackedWidget;

// A paged wizard with section Name + "\Wizard". Back is hidden on the first
// page; on the last page Next reads "&Finish" and closes the wizard with
// mrOk; on the others it reads "&Next >" and closes nothing. Next is the
// default button on every page, so Enter moves on, and at the end finishes.
// Moving between pages is the concrete wizard's work: it calls
// UpdateButtons after every move.
class TMyWizard : public TMyForm {
    Q_OBJECT
public:
    TMyWizard(QWidget *Owner, const std::string &KeyPath, const std::string &Name, int LastPage);

    // Also puts the focus on the page's first Tab stop, its text selected,
    // or on Next when the page has none. Safe to call before Loaded or with
    // controls missing from the design.
    void UpdateButtons();

    QPushButton *BtnBack = nullptr;
    QPushButton *BtnNext = nullptr;
    QStackedWidget *notebook = nullptr;
    int FirstPage = 0;
    int LastPage = 0;
    QLabel *ImageFlag = nullptr;

protected:
    // The concrete wizard calls this right after setting up its design:
    // binds BtnBack, BtnNext, notebook and ImageFlag by object name and
    // fills the picture's magenta background with the button colour.
    void Loaded();

private:
    // The focus step of UpdateButtons.
    void FocusPage();
};

// Fills, from pixel (1, 1), the 4-connected magenta (255, 0, 255) area of
// Image with Colour. Pixels of other colours, and magenta islands not
// connected to (1, 1), stay. An image smaller than 2 x 2 pixels, or whose
// pixel (1, 1) is not magenta, is left as it is. Image is converted to a
// 32-bit format when it has another one.
void FillMagentaBackground(QImage &Image, const QColor &Colour);
