#include "USaveConfig.h"

#include "ConfigNames.h"
#include "LabelFit.h"

TSaveConfig::TSaveConfig(QWidget *Owner) : TForm(Owner) {
    setupUi(this);
    setFont(DesignFont());
    FitLabelsToText(this);
    SetOuterGeometry(QRect(200, 107, 313, 201));
    SetModalResult(Button1, mrOk);
    SetModalResult(Button2, mrCancel);
    // Clicking a name copies it, also the one already selected; the keys
    // select by moving the current row.
    connect(ListBoxNames, &QListWidget::itemClicked, this, &TSaveConfig::ListBoxNamesClick);
    connect(ListBoxNames, &QListWidget::currentRowChanged, this, &TSaveConfig::ListBoxNamesClick);
    FormCreate();
}

void TSaveConfig::FormCreate() {
    EditName->setText(CurrentUserName());
    QStringList Names;
    ListConfigurations(Names);
    ListBoxNames->clear();
    ListBoxNames->addItems(Names);
    ListBoxNames->setCurrentRow(-1);
    ListBoxNames->clearSelection();
}

void TSaveConfig::ListBoxNamesClick() {
    const QList<QListWidgetItem *> Selected = ListBoxNames->selectedItems();
    if (!Selected.isEmpty())
        EditName->setText(Selected.front()->text());
}
