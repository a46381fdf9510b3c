#pragma once

#include "UMyForm.h"

class QLabel;
class QPushButton;
class QStackedWidget;

// A paged wizard with section Name + "\Wizard". Back is hidden on the first
// page; on the last page Next reads "&Finish", is the default button and
// closes the wizard with mrOk.
class TMyWizard : public TMyForm {
    Q_OBJECT
public:
    TMyWizard(QWidget *Owner, const std::string &KeyPath, const std::string &Name, int LastPage);

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
};

// Fills, from pixel (1, 1), the connected magenta (255, 0, 255) area of
// Image with Colour. Pixels of other colours, and magenta islands not
// connected to (1, 1), stay.
class QImage;
class QColor;
void FillMagentaBackground(QImage &Image, const QColor &Colour);
