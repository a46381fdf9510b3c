#include "UCompareDialog.h"
#include "AppTestSupport.h"
#include "SettingsRootKey.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>

namespace {

class CompareDialogTest : public AppTest {
protected:
    std::unique_ptr<TCompareDialog> Open() {
        auto dialog = std::make_unique<TCompareDialog>(nullptr, DefaultRootKey);
        dialog->LoadFromIniFile();
        return dialog;
    }
    static QStringList Items(const QComboBox *Box) {
        QStringList items;
        for (int i = 0; i < Box->count(); ++i)
            items << Box->itemText(i);
        return items;
    }
};

TEST_F(CompareDialogTest, LabelsShowTheirWholeTextInTheFaceAtHand) {
    auto dialog = Open();
    ExpectLabelsShowWholeText(dialog.get());
    // Right-aligned labels keep their right edge next to the name boxes.
    EXPECT_EQ(dialog->Label4->geometry().right(), 50 + 26 - 1);
    EXPECT_EQ(dialog->Label6->geometry().right(), 31 + 45 - 1);
}

TEST_F(CompareDialogTest, EveryValueComesBackAfterSaving) {
    {
        auto dialog = Open();
        dialog->file1->setEditText(QStringLiteral("/tmp/one.txt"));
        dialog->file1->UpdateHistory();
        dialog->file1->setEditText(QStringLiteral("/tmp/typed.txt"));
        dialog->file2->setEditText(QStringLiteral("/tmp/two.txt"));
        dialog->notebook->setCurrentWidget(dialog->optionsTab);
        dialog->dontListCommon->setChecked(true);
        dialog->ignoreBigNumbers->setChecked(true);
        dialog->startWithDialog->setChecked(true);
        dialog->clearReport->setChecked(false);
        dialog->maintainReport->setChecked(true);
        dialog->SaveToIniFile();
    }
    auto dialog = Open();
    EXPECT_EQ(dialog->file1->currentText(), QStringLiteral("/tmp/typed.txt"));
    EXPECT_EQ(Items(dialog->file1), QStringList({"/tmp/one.txt"}));
    EXPECT_EQ(dialog->file2->currentText(), QStringLiteral("/tmp/two.txt"));
    EXPECT_EQ(dialog->notebook->currentWidget(), dialog->optionsTab);
    EXPECT_TRUE(dialog->dontListCommon->isChecked());
    EXPECT_TRUE(dialog->ignoreBigNumbers->isChecked());
    EXPECT_TRUE(dialog->startWithDialog->isChecked());
    EXPECT_FALSE(dialog->clearReport->isChecked());
    EXPECT_TRUE(dialog->maintainReport->isChecked());
}

TEST_F(CompareDialogTest, WideningMovesButtonsAndStretchesTheNameBoxes) {
    auto dialog = Open();
    dialog->show();
    const QRect file1 = dialog->file1->geometry(), file2 = dialog->file2->geometry();
    const QRect ok = dialog->OKButton->geometry(), browse = dialog->browse2Button->geometry();
    const QRect label = dialog->Label4->geometry(), check = dialog->dontListCommon->geometry();
    const QRect under = dialog->Button2->geometry();
    dialog->resize(dialog->width() + 100, dialog->height());
    QApplication::processEvents();
    EXPECT_EQ(dialog->file1->geometry(), file1.adjusted(0, 0, 100, 0));
    EXPECT_EQ(dialog->file2->geometry(), file2.adjusted(0, 0, 100, 0));
    EXPECT_EQ(dialog->OKButton->geometry(), ok.translated(100, 0));
    EXPECT_EQ(dialog->browse2Button->geometry(), browse.translated(100, 0));
    EXPECT_EQ(dialog->Label4->geometry(), label);
    EXPECT_EQ(dialog->dontListCommon->geometry(), check);
    EXPECT_EQ(dialog->Button2->geometry(), under);
    EXPECT_EQ(dialog->notebook->geometry(), dialog->rect());
}

TEST_F(CompareDialogTest, BrowseCommitsTheTextAndTakesTheChosenFile) {
    auto dialog = Open();
    const QString chosen = WriteLines(QStringLiteral("chosen.txt"), {"x"});
    Answer<QFileDialog>([&](QFileDialog *Open) {
        // Seeded with the box's text.
        EXPECT_EQ(Open->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->text(),
                  QStringLiteral("C:\\file1.txt"));
        Open->selectFile(chosen);
        return int(QDialog::Accepted);
    });
    dialog->browse1Button->click();
    EXPECT_EQ(dialog->file1->currentText(), chosen);
    // The chosen name enters the list only at the next commit.
    EXPECT_EQ(Items(dialog->file1), QStringList({"C:\\file1.txt"}));

    Answer<QFileDialog>([](QFileDialog *) { return int(QDialog::Rejected); });
    dialog->browse1Button->click();
    EXPECT_EQ(dialog->file1->currentText(), chosen);
    EXPECT_EQ(Items(dialog->file1), QStringList({chosen, "C:\\file1.txt"}));
}

TEST_F(CompareDialogTest, HelpFindsTheFileTheBuildPutBesideTheProgram) {
    auto dialog = Open();
    SetHelpProgramFolder(QStringLiteral(TARNWELL_BIN_DIR));
    dialog->show();
    dialog->helpButton->click();
    SetHelpProgramFolder(QString());
    EXPECT_TRUE(dialog->isVisible()) << "Help does not close the dialog";
    EXPECT_EQ(HelpFileName(), QStringLiteral(TARNWELL_BIN_DIR "/Tarnwells.hlp"));
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window != dialog.get())
            window->close();
}

} // namespace
