#include "ULoadConfig.h"

#include "ConfigNames.h"
#include "LabelFit.h"

TLoadConfig::TLoadConfig(QWidget *Owner) : TForm(Owner) {
    setupUi(this);
    setFont(DesignFont());
    FitLabelsToText(this);
    SetOuterGeometry(QRect(200, 107, 381, 121));
    SetModalResult(Button1, mrOk);
    SetModalResult(Button2, mrCancel);
    FormCreate();
}

void TLoadConfig::FormCreate() {
    QStringList Names;
    ListConfigurations(Names);
    ComboBoxNames->clear();
    ComboBoxNames->addItems(Names);
    ComboBoxNames->setCurrentIndex(Names.isEmpty() ? -1 : 0);
}
