#include "UCompareDialog.h"
#include "AppTestSupport.h"
#include "SettingsRootKey.h"
#include "UiChild.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
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
    EXPECT_EQ(Child<QLabel>(dialog, "Label4")->geometry().right(), 50 + 26 - 1);
    EXPECT_EQ(Child<QLabel>(dialog, "Label6")->geometry().right(), 31 + 45 - 1);
}

TEST_F(CompareDialogTest, EveryValueComesBackAfterSaving) {
    {
        auto dialog = Open();
        Child<THistoryBox>(dialog, "file1")->setEditText(QStringLiteral("/tmp/one.txt"));
        Child<THistoryBox>(dialog, "file1")->UpdateHistory();
        Child<THistoryBox>(dialog, "file1")->setEditText(QStringLiteral("/tmp/typed.txt"));
        Child<THistoryBox>(dialog, "file2")->setEditText(QStringLiteral("/tmp/two.txt"));
        Child<QTabWidget>(dialog, "notebook")
            ->setCurrentWidget(Child<QWidget>(dialog, "optionsTab"));
        Child<QCheckBox>(dialog, "dontListCommon")->setChecked(true);
        Child<QCheckBox>(dialog, "ignoreBigNumbers")->setChecked(true);
        Child<QCheckBox>(dialog, "startWithDialog")->setChecked(true);
        Child<QCheckBox>(dialog, "clearReport")->setChecked(false);
        Child<QCheckBox>(dialog, "maintainReport")->setChecked(true);
        Child<QCheckBox>(dialog, "ignoreWhiteSpace")->setChecked(true);
        dialog->SaveToIniFile();
    }
    auto dialog = Open();
    EXPECT_EQ(Child<THistoryBox>(dialog, "file1")->currentText(), QStringLiteral("/tmp/typed.txt"));
    EXPECT_EQ(Items(Child<THistoryBox>(dialog, "file1")), QStringList({"/tmp/one.txt"}));
    EXPECT_EQ(Child<THistoryBox>(dialog, "file2")->currentText(), QStringLiteral("/tmp/two.txt"));
    EXPECT_EQ(Child<QTabWidget>(dialog, "notebook")->currentWidget(),
              Child<QWidget>(dialog, "optionsTab"));
    EXPECT_TRUE(Child<QCheckBox>(dialog, "dontListCommon")->isChecked());
    EXPECT_TRUE(Child<QCheckBox>(dialog, "ignoreBigNumbers")->isChecked());
    EXPECT_TRUE(Child<QCheckBox>(dialog, "startWithDialog")->isChecked());
    EXPECT_FALSE(Child<QCheckBox>(dialog, "clearReport")->isChecked());
    EXPECT_TRUE(Child<QCheckBox>(dialog, "maintainReport")->isChecked());
    EXPECT_FALSE(Child<QCheckBox>(dialog, "ignoreCase")->isChecked());
    EXPECT_TRUE(Child<QCheckBox>(dialog, "ignoreWhiteSpace")->isChecked());
}

TEST_F(CompareDialogTest, WideningMovesButtonsAndStretchesTheNameBoxes) {
    auto dialog = Open();
    dialog->show();
    const QRect file1 = Child<THistoryBox>(dialog, "file1")->geometry(),
                file2 = Child<THistoryBox>(dialog, "file2")->geometry();
    const QRect ok = Child<QPushButton>(dialog, "OKButton")->geometry(),
                browse = Child<QPushButton>(dialog, "browse2Button")->geometry();
    const QRect label = Child<QLabel>(dialog, "Label4")->geometry(),
                check = Child<QCheckBox>(dialog, "dontListCommon")->geometry();
    const QRect under = Child<QPushButton>(dialog, "Button2")->geometry();
    dialog->resize(dialog->width() + 100, dialog->height());
    QApplication::processEvents();
    EXPECT_EQ(Child<THistoryBox>(dialog, "file1")->geometry(), file1.adjusted(0, 0, 100, 0));
    EXPECT_EQ(Child<THistoryBox>(dialog, "file2")->geometry(), file2.adjusted(0, 0, 100, 0));
    EXPECT_EQ(Child<QPushButton>(dialog, "OKButton")->geometry(), ok.translated(100, 0));
    EXPECT_EQ(Child<QPushButton>(dialog, "browse2Button")->geometry(), browse.translated(100, 0));
    EXPECT_EQ(Child<QLabel>(dialog, "Label4")->geometry(), label);
    EXPECT_EQ(Child<QCheckBox>(dialog, "dontListCommon")->geometry(), check);
    EXPECT_EQ(Child<QPushButton>(dialog, "Button2")->geometry(), under);
    EXPECT_EQ(Child<QTabWidget>(dialog, "notebook")->geometry(), dialog->rect());
}

TEST_F(CompareDialogTest, BrowseCommitsTheTextAndTakesTheChosenFile) {
    auto dialog = Open();
    const QString chosen = WriteLines(QStringLiteral("chosen.txt"), {"x"});
    const QString typed = Path(QStringLiteral("typed.txt"));
    Child<THistoryBox>(dialog, "file1")->setEditText(typed);
    Answer<QFileDialog>([&](QFileDialog *Open) {
        // Seeded with the box's text.
        EXPECT_EQ(Open->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->text(),
                  QStringLiteral("typed.txt"));
        EXPECT_EQ(Open->directory().absolutePath(), QFileInfo(typed).absolutePath());
        Open->selectFile(chosen);
        return int(QDialog::Accepted);
    });
    Child<QPushButton>(dialog, "browse1Button")->click();
    EXPECT_EQ(Child<THistoryBox>(dialog, "file1")->currentText(), chosen);
    // The chosen name enters the list only at the next commit.
    EXPECT_EQ(Items(Child<THistoryBox>(dialog, "file1")), QStringList({typed}));

    Answer<QFileDialog>([](QFileDialog *) { return int(QDialog::Rejected); });
    Child<QPushButton>(dialog, "browse1Button")->click();
    EXPECT_EQ(Child<THistoryBox>(dialog, "file1")->currentText(), chosen);
    EXPECT_EQ(Items(Child<THistoryBox>(dialog, "file1")), QStringList({chosen, typed}));
}

TEST_F(CompareDialogTest, HelpFindsTheFileTheBuildPutBesideTheProgram) {
    auto dialog = Open();
    SetHelpProgramFolder(QStringLiteral(TARNWELL_BIN_DIR));
    dialog->show();
    Child<QPushButton>(dialog, "helpButton")->click();
    SetHelpProgramFolder(QString());
    EXPECT_TRUE(dialog->isVisible()) << "Help does not close the dialog";
    EXPECT_EQ(HelpFileName(), QStringLiteral(TARNWELL_BIN_DIR "/Tarnwells.hlp"));
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window != dialog.get())
            window->close();
}

} // namespace
