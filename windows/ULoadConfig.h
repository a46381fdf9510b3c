#pragma once

#include "TForm.h"
#include "ui_ULoadConfig.h"

// The window that asks which saved configuration to load. It stores
// nothing; read ComboBoxNames after it closed with mrOk (empty when no
// configuration exists).
class TLoadConfig : public TForm {
    Q_OBJECT
public:
    // Builds the design and runs FormCreate; store failures propagate.
    explicit TLoadConfig(QWidget *Owner = nullptr);

    // Lists the saved names and selects the first, if there is one.
    void FormCreate();

    // The name shown in ComboBoxNames; empty when none is listed.
    QString Name() const;

private:
    Ui::TLoadConfig ui;
};
