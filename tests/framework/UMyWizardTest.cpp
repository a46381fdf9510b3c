#include "FrameworkTest.h"

#include "UMyWizard.h"

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>

namespace {

const QRgb Magenta = qRgb(255, 0, 255);
const QRgb Black = qRgb(0, 0, 0);

// A four-page wizard built in code the way a design would build it.
class TTestWizard : public TMyWizard {
public:
    TTestWizard() : TMyWizard(nullptr, "Brackwater Software\\Tarnwells", "Test", 3) {
        auto *Pages = new QStackedWidget(this);
        Pages->setObjectName("notebook");
        for (int I = 0; I < 4; ++I)
            Pages->addWidget(new QWidget);
        auto *Back = new QPushButton("< &Back", this);
        Back->setObjectName("BtnBack");
        auto *Next = new QPushButton("&Next >", this);
        Next->setObjectName("BtnNext");
        auto *Flag = new QLabel(this);
        Flag->setObjectName("ImageFlag");
        QImage Picture(8, 8, QImage::Format_RGB32);
        Picture.fill(Magenta);
        Picture.setPixel(6, 6, Black);
        Flag->setPixmap(QPixmap::fromImage(Picture));
        Loaded();
        OnClick(BtnNext, [this] { Move(+1); });
        OnClick(BtnBack, [this] { Move(-1); });
    }
    void Move(int Step) {
        const int Page = notebook->currentIndex() + Step;
        if (Page >= FirstPage && Page <= LastPage)
            notebook->setCurrentIndex(Page);
        UpdateButtons();
    }
};

class TMyWizardTest : public FrameworkTest {};

void ExpectPage(TTestWizard &Wizard, int Page) {
    SCOPED_TRACE(Page);
    const bool Last = Page == 3;
    EXPECT_EQ(Wizard.notebook->currentIndex(), Page);
    EXPECT_EQ(Wizard.BtnBack->isHidden(), Page == 0);
    EXPECT_EQ(Wizard.BtnNext->text(), Last ? "&Finish" : "&Next >");
    EXPECT_EQ(Wizard.BtnNext->isDefault(), Last);
    EXPECT_EQ(Wizard.ModalResult(Wizard.BtnNext), Last ? mrOk : mrNone);
}

// Builds an image from rows of characters: M magenta, B black, W white.
QImage Picture(const std::vector<std::string> &Rows) {
    QImage Image(int(Rows[0].size()), int(Rows.size()), QImage::Format_RGB32);
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X) {
            const char C = Rows[Y][X];
            Image.setPixel(X, Y, C == 'M' ? Magenta : C == 'B' ? Black : qRgb(255, 255, 255));
        }
    return Image;
}

std::vector<std::string> Rows(const QImage &Image, QRgb Fill) {
    std::vector<std::string> Result;
    for (int Y = 0; Y < Image.height(); ++Y) {
        std::string Row;
        for (int X = 0; X < Image.width(); ++X) {
            const QRgb P = Image.pixel(X, Y);
            Row += P == Fill ? 'F' : P == Magenta ? 'M' : P == Black ? 'B' : 'W';
        }
        Result.push_back(Row);
    }
    return Result;
}

} // namespace

TEST_F(TMyWizardTest, LoadedBindsTheDesign) {
    TTestWizard Wizard;
    EXPECT_EQ(Wizard.Section, "Test\\Wizard");
    ASSERT_NE(Wizard.notebook, nullptr);
    ASSERT_NE(Wizard.BtnBack, nullptr);
    ASSERT_NE(Wizard.BtnNext, nullptr);
    ASSERT_NE(Wizard.ImageFlag, nullptr);
    const QImage Flag = Wizard.ImageFlag->pixmap().toImage();
    EXPECT_EQ(Flag.pixel(0, 0), Wizard.palette().button().color().rgb());
    EXPECT_EQ(Flag.pixel(6, 6), Black);
}

TEST_F(TMyWizardTest, ButtonsFollowThePages) {
    TTestWizard Wizard;
    Wizard.UpdateButtons();
    ExpectPage(Wizard, 0);
    for (int Page = 1; Page <= 3; ++Page) {
        Wizard.Move(+1);
        ExpectPage(Wizard, Page);
    }
    Wizard.Move(-1);
    ExpectPage(Wizard, 2);
}

// Only Finish closes: the click that reaches the last page must not.
TEST_F(TMyWizardTest, OnlyFinishClosesWithOk) {
    TTestWizard Wizard;
    Wizard.UpdateButtons();
    bool OpenOnLastPage = false;
    QTimer::singleShot(0, &Wizard, [&] {
        for (int I = 0; I < 3; ++I)
            Wizard.BtnNext->click();
        OpenOnLastPage = Wizard.isVisible() && Wizard.notebook->currentIndex() == 3;
        Wizard.BtnNext->click();
    });
    EXPECT_EQ(Wizard.exec(), mrOk);
    EXPECT_TRUE(OpenOnLastPage);
}

TEST_F(TMyWizardTest, FloodFillKeepsUnconnectedIslands) {
    const QImage Before = Picture({
        "MMMMMMMM",
        "MMMMMMMM",
        "MMBBBBMM",
        "MMBMMBMM",
        "MMBBBBMW",
        "MMMMMMWM",
    });
    const QRgb Fill = qRgb(212, 208, 200);
    QImage Image = Before;
    FillMagentaBackground(Image, Fill);
    const std::vector<std::string> Expected = {
        "FFFFFFFF", "FFFFFFFF", "FFBBBBFF", "FFBMMBFF", "FFBBBBFW", "FFFFFFWM",
    };
    EXPECT_EQ(Rows(Image, Fill), Expected);
}

TEST_F(TMyWizardTest, FloodFillStartsOnlyOnMagenta) {
    const QRgb Fill = qRgb(1, 2, 3);
    for (const auto &Rows0 :
         {std::vector<std::string>{"MMM", "MWM", "MMM"}, std::vector<std::string>{"M"}}) {
        QImage Image = Picture(Rows0);
        FillMagentaBackground(Image, Fill);
        EXPECT_EQ(Rows(Image, Fill), Rows0);
    }
    QImage Indexed = Picture({"MMMM", "MMMM"}).convertToFormat(QImage::Format_Indexed8);
    FillMagentaBackground(Indexed, Fill);
    EXPECT_EQ(Rows(Indexed, Fill), std::vector<std::string>({"FFFF", "FFFF"}));
}
