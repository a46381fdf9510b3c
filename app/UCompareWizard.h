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
    // On a file page, moves on only when its box holds a name; an empty one
    // gets the focus and says why.
    void BtnNextClick();
    void BtnBackClick();
    void BtnBrowseClick();
    void Button1Click();

    // Shared by both Browse buttons; opens in the folder of the edit's text.
    QFileDialog *OpenDialog1 = nullptr;

signals:
    // A drop on a file box was refused, and why; the box shows it as a tip
    // and the report window in its status bar.
    void DropRefused(const QString &Why);

protected:
    void showEvent(QShowEvent *Event) override;

private:
    // Puts the chosen file in Edit; the focus goes back to Edit either way.
    void Browse(QLineEdit *Edit);

    Ui::CompareWizard ui;
};
