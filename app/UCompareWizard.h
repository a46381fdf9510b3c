#pragma once

#include "UMyWizard.h"
#include "ui_UCompareWizard.h"

class QFileDialog;

// The compare wizard: four pages (Welcome, FirstFile, SecondFile, Finish)
// that collect the two file names. It starts nothing itself: Finish closes
// it with mrOk and the report window reads firstFile and secondFile.
class TCompareWizard : public TMyWizard, public Ui::CompareWizard {
    Q_OBJECT
public:
    TCompareWizard(QWidget *Owner, const std::string &KeyPath);

    // The design's controls and the base's bindings are the same widgets.
    using TMyWizard::BtnBack;
    using TMyWizard::BtnNext;
    using TMyWizard::ImageFlag;
    using TMyWizard::notebook;

    void LoadLocalFromIniFile() override;
    void SaveLocalToIniFile() override;

    // Every showing starts on the Welcome page.
    void OnShowForm();
    void BtnNextClick();
    void BtnBackClick();
    void BtnBrowseClick();
    void Button1Click();

    // Shared by both Browse buttons; never seeded with the edit's text.
    QFileDialog *OpenDialog1 = nullptr;

protected:
    void showEvent(QShowEvent *Event) override;

private:
    void Browse(QLineEdit *Edit);
};
