#include "ULoadConfig.h"

#include "ConfigNames.h"
#include "LabelFit.h"

TLoadConfig::TLoadConfig(QWidget *Owner) : TForm(Owner) {
    ui.setupUi(this);
    setFont(DesignFont());
    FitLabelsToText(this);
    SetOuterGeometry(QRect(200, 107, 381, 121));
    SetModalResult(ui.Button1, mrOk);
    SetModalResult(ui.Button2, mrCancel);
    FormCreate();
    ui.ComboBoxNames->setFocus(Qt::TabFocusReason);
}

void TLoadConfig::FormCreate() {
    QStringList Names;
    ListConfigurations(Names);
    ui.ComboBoxNames->clear();
    ui.ComboBoxNames->addItems(Names);
    ui.ComboBoxNames->setCurrentIndex(Names.isEmpty() ? -1 : 0);
}

QString TLoadConfig::Name() const {
    return ui.ComboBoxNames->currentText();
}
