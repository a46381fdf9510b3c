#include "WindowsTest.h"

#include "UMyWizard.h"

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>

// An image from rows of characters: Magenta, Black, White or the Fill colour.
static QImage Picture(const std::vector<std::string> &Rows, QRgb Fill = 0) {
    const QRgb Colours[] = {qRgb(255, 0, 255), qRgb(0, 0, 0), qRgb(255, 255, 255), Fill};
    QImage Image(int(Rows[0].size()), int(Rows.size()), QImage::Format_RGB32);
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X)
            Image.setPixel(X, Y, Colours[std::string_view("MBWF").find(Rows[Y][X])]);
    return Image;
}

// A four-page wizard built in code the way a design would build it.
struct TTestWizard : TMyWizard {
    TTestWizard() : TMyWizard(nullptr, RootKey, "Test", 3) {
        (new QStackedWidget(this))->setObjectName("notebook");
        (new QLabel(this))->setObjectName("ImageFlag");
        (new QPushButton(this))->setObjectName("BtnBack");
        (new QPushButton(this))->setObjectName("BtnNext");
        for (int I = 0; I < 4; ++I)
            findChild<QStackedWidget *>()->addWidget(new QWidget);
        findChild<QLabel *>()->setPixmap(QPixmap::fromImage(
            Picture({"MMMMMMMM", "MMBBBBMM", "MMBMMBMM", "MMBBBBMW", "MMMMMMWM"})));
        Loaded();
    }
};

using TMyWizardTest = FrameworkTest;

// The picture's background turns the colour of the buttons, spreading from
// (1, 1) to magenta neighbours, never diagonally. Back shows on every page but
// the first; Next is the default button throughout, so Enter always moves on,
// and only on the last page it finishes.
TEST_F(TMyWizardTest, ButtonsFollowThePages) {
    TTestWizard Wizard;
    const QRgb Button = Wizard.palette().button().color().rgb();
    EXPECT_EQ(Wizard.ImageFlag->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
              Picture({"FFFFFFFF", "FFBBBBFF", "FFBMMBFF", "FFBBBBFW", "FFFFFFWM"}, Button));
    std::string States;
    for (const int Page : {0, 1, 3, 2}) {
        Wizard.notebook->setCurrentIndex(Page);
        Wizard.UpdateButtons();
        States += std::to_string(Page) + (Wizard.BtnBack->isHidden() ? " - " : " Back ") +
                  Wizard.BtnNext->text().toStdString() +
                  (Wizard.BtnNext->isDefault() ? " default " : " ") +
                  std::to_string(Wizard.ModalResult(Wizard.BtnNext)) + "; ";
    }
    EXPECT_EQ(States, "0 - &Next > default 0; 1 Back &Next > default 0; "
                      "3 Back &Finish default 1; 2 Back &Next > default 0; ");
}
