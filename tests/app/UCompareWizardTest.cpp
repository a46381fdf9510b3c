#include "UCompareWizard.h"
#include "AppResources.h"
#include "AppTestSupport.h"
#include "SettingsRootKey.h"
#include "UiChild.h"

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QStackedWidget>

namespace {

class CompareWizardTest : public AppTest {
protected:
    std::unique_ptr<TCompareWizard> Open() {
        auto wizard = std::make_unique<TCompareWizard>(nullptr, DefaultRootKey);
        wizard->LoadFromIniFile();
        return wizard;
    }
};

TEST_F(CompareWizardTest, NextBackAndFinishAcrossThePages) {
    auto wizard = Open();
    wizard->show();
    for (int page = 1; page <= 3; ++page) {
        wizard->BtnNext->click();
        ASSERT_TRUE(wizard->isVisible()) << "the click that reaches a page closes nothing";
        EXPECT_EQ(wizard->notebook->currentIndex(), page);
    }
    wizard->BtnBack->click();
    EXPECT_EQ(wizard->notebook->currentIndex(), 2);
    EXPECT_EQ(wizard->BtnNext->text(), QStringLiteral("&Next >"));
    wizard->BtnNext->click();
    EXPECT_EQ(wizard->BtnNext->text(), QStringLiteral("&Finish"));
    ASSERT_TRUE(wizard->isVisible());
    wizard->BtnNext->click();
    EXPECT_FALSE(wizard->isVisible());
    EXPECT_EQ(wizard->result(), mrOk);
}

TEST_F(CompareWizardTest, LabelsShowTheirWholeTextInTheFaceAtHand) {
    auto wizard = Open();
    ExpectLabelsShowWholeText(wizard.get());
    EXPECT_TRUE(Child<QLabel>(wizard, "Label7")->font().bold());
}

TEST_F(CompareWizardTest, EveryShowingStartsOnWelcome) {
    auto wizard = Open();
    wizard->show();
    wizard->BtnNext->click();
    wizard->BtnNext->click();
    Child<QPushButton>(wizard, "BtnCancel")->click();
    EXPECT_EQ(wizard->result(), mrCancel);
    wizard->setWindowTitle(QStringLiteral("something else"));
    wizard->show();
    EXPECT_EQ(wizard->notebook->currentIndex(), 0);
    EXPECT_FALSE(wizard->BtnBack->isVisible());
    EXPECT_EQ(wizard->BtnNext->text(), QStringLiteral("&Next >"));
    EXPECT_EQ(wizard->windowTitle(), QStringLiteral("Compare Wizard"));
}

TEST_F(CompareWizardTest, NamesDefaultToTheHomeFolderAndPersist) {
    {
        auto wizard = Open();
        EXPECT_EQ(Child<QLineEdit>(wizard, "firstFile")->text(), QDir::homePath() + "/");
        EXPECT_EQ(Child<QLineEdit>(wizard, "secondFile")->text(), QDir::homePath() + "/");
        EXPECT_EQ(wizard->Position(), 4) << "designed centred";
        Child<QLineEdit>(wizard, "firstFile")->setText(QStringLiteral("/data/a.txt"));
        Child<QLineEdit>(wizard, "secondFile")->setText(QStringLiteral("/data/b.txt"));
        wizard->SaveToIniFile();
    }
    auto wizard = Open();
    EXPECT_EQ(Child<QLineEdit>(wizard, "firstFile")->text(), QStringLiteral("/data/a.txt"));
    EXPECT_EQ(Child<QLineEdit>(wizard, "secondFile")->text(), QStringLiteral("/data/b.txt"));
}

TEST_F(CompareWizardTest, BrowseIsNotSeededAndCancelChangesNothing) {
    auto wizard = Open();
    Child<QLineEdit>(wizard, "firstFile")->setText(QStringLiteral("typed-first.txt"));
    const QString chosen = WriteLines(QStringLiteral("second.txt"), {"x"});
    Answer<QFileDialog>([&](QFileDialog *Open) {
        EXPECT_NE(Open->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->text(),
                  QStringLiteral("typed-first.txt"));
        Open->selectFile(chosen);
        return int(QDialog::Accepted);
    });
    Child<QPushButton>(wizard, "Button1")->click();
    EXPECT_EQ(Child<QLineEdit>(wizard, "secondFile")->text(), chosen);
    EXPECT_EQ(Child<QLineEdit>(wizard, "firstFile")->text(), QStringLiteral("typed-first.txt"));

    Answer<QFileDialog>([](QFileDialog *) { return int(QDialog::Rejected); });
    Child<QPushButton>(wizard, "BtnBrowse")->click();
    EXPECT_EQ(Child<QLineEdit>(wizard, "firstFile")->text(), QStringLiteral("typed-first.txt"));
}

TEST_F(CompareWizardTest, PictureBackgroundBlendsWithTheButtons) {
    LoadAppResources();
    const QImage design(QStringLiteral(":/wizard.png"));
    ASSERT_EQ(design.size(), QSize(200, 250));
    EXPECT_LE(design.colorCount(), 256);
    EXPECT_EQ(design.pixelColor(1, 1), QColor(255, 0, 255));
    EXPECT_EQ(design.pixelColor(199, 249), QColor(255, 0, 255));

    auto wizard = Open();
    const QImage shown = wizard->ImageFlag->pixmap().toImage();
    ASSERT_EQ(shown.size(), QSize(200, 250));
    const QColor button = wizard->palette().color(QPalette::Button);
    EXPECT_EQ(shown.pixelColor(1, 1), button);
    EXPECT_EQ(shown.pixelColor(199, 249), button);
}

} // namespace
