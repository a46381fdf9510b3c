#pragma once

#include "TForm.h"
#include "ui_UAbout.h"

#include <QString>

// The about box: product caption, version line and the program's icon. It
// keeps no settings and is built afresh for every showing.
class TAbout : public TForm, public Ui::About {
    Q_OBJECT
public:
    explicit TAbout(QWidget *Owner = nullptr);
};

// Shows a new about box modally with ProductCaption and "version: " Version,
// and releases it however it was closed.
void ShowAboutBox(const QString &ProductCaption, const QString &Version);
