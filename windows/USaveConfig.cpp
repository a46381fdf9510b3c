#include "USaveConfig.h"

#include "ConfigNames.h"
#include "LabelFit.h"

TSaveConfig::TSaveConfig(QWidget *Owner) : TForm(Owner) {
    ui.setupUi(this);
    setFont(DesignFont());
    FitLabelsToText(this);
    SetOuterGeometry(QRect(200, 107, 313, 201));
    SetModalResult(ui.Button1, mrOk);
    SetModalResult(ui.Button2, mrCancel);
    // Clicking a name copies it, also the one already selected; the keys
    // select by moving the current row.
    connect(ui.ListBoxNames, &QListWidget::itemClicked, this, &TSaveConfig::ListBoxNamesClick);
    connect(ui.ListBoxNames, &QListWidget::currentRowChanged, this,
            &TSaveConfig::ListBoxNamesClick);
    FormCreate();
    // The name is what the user came to type.
    ui.EditName->setFocus(Qt::TabFocusReason);
    ui.EditName->selectAll();
}

void TSaveConfig::FormCreate() {
    ui.EditName->setText(CurrentUserName());
    QStringList Names;
    ListConfigurations(Names);
    ui.ListBoxNames->clear();
    ui.ListBoxNames->addItems(Names);
    ui.ListBoxNames->setCurrentRow(-1);
    ui.ListBoxNames->clearSelection();
}

void TSaveConfig::ListBoxNamesClick() {
    const QList<QListWidgetItem *> Selected = ui.ListBoxNames->selectedItems();
    if (!Selected.isEmpty())
        ui.EditName->setText(Selected.front()->text());
}

QString TSaveConfig::Name() const {
    return ui.EditName->text();
}
