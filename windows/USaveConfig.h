#pragma once

#include "TForm.h"
#include "ui_USaveConfig.h"

// The window that asks for the name to save the configuration under. It
// stores nothing; read EditName after it closed with mrOk.
class TSaveConfig : public TForm {
    Q_OBJECT
public:
    // Builds the design and runs FormCreate; store failures propagate.
    explicit TSaveConfig(QWidget *Owner = nullptr);

    // The user's login name in EditName, the saved names listed, none
    // selected.
    void FormCreate();
    // Copies the selected name, if any, into EditName.
    void ListBoxNamesClick();

    // The name in EditName.
    QString Name() const;

private:
    Ui::TSaveConfig ui;
};
