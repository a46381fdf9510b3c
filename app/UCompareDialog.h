#pragma once

#include "UMyDialog.h"
#include "ui_UCompareDialog.h"

class QFileDialog;

// The compare dialog: the two file names with their histories and the
// options of a comparison and of the program. It only returns a modal
// result (mrOk, mrWizard, mrCancel); the report window reads its controls.
class TCompareDialog : public TMyDialog, public Ui::CompareDialog {
    Q_OBJECT
public:
    TCompareDialog(QWidget *Owner, const std::string &KeyPath);

    void LoadLocalFromIniFile() override;
    void SaveLocalToIniFile() override;

    QFileDialog *fileOpen = nullptr;

    // Browse for the first file (Button2 and browse1Button) and the second.
    void Button2Click();
    void browse2ButtonClick();
    void helpButtonClick();

protected:
    void FormResize() override;

private:
    // Commits Box's text to its history, seeds the open dialog with it and,
    // unless the dialog is cancelled, puts the chosen file in the box.
    void Browse(THistoryBox *Box);
};
