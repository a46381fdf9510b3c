#pragma once

#include "UMyWizard.h"
#include "ui_UCompareWizard.h"

class QFileDialog;

// The compare wizard: four pages (Welcome, FirstFile, SecondFile, Finish)
// that collect the two file names. It starts nothing itself: Finish closes
// it with mrOk and the report window asks for the two names.
class TCompareWizard : public TMyWizard {
    Q_OBJECT
public:
    TCompareWizard(QWidget *Owner, const std::string &KeyPath);

    void LoadLocalFromIniFile() override;
    void SaveLocalToIniFile() override;

    // The texts of the two file boxes, as typed.
    QString FirstFileName() const;
    QString SecondFileName() const;

    // Every showing starts on the Welcome page.
    void OnShowForm();
    void BtnNextClick();
    void BtnBackClick();
    void BtnBrowseClick();
    void Button1Click();

    // Shared by both Browse buttons; opens in the folder of the edit's text.
    QFileDialog *OpenDialog1 = nullptr;

protected:
    void showEvent(QShowEvent *Event) override;

private:
    void Browse(QLineEdit *Edit);

    Ui::CompareWizard ui;
};
