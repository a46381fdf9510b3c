#pragma once

#include "TForm.h"
#include "ui_UAbout.h"

#include <QString>

// The about box: product caption, version line and the program's icon. It
// keeps no settings and is built afresh for every showing.
class TAbout : public TForm {
    Q_OBJECT
public:
    // A box showing ProductCaption and "version: " followed by Version.
    TAbout(const QString &ProductCaption, const QString &Version, QWidget *Owner = nullptr);

private:
    Ui::About ui;
};

// Shows a new about box modally with ProductCaption and "version: " Version,
// and releases it however it was closed.
void ShowAboutBox(const QString &ProductCaption, const QString &Version);
