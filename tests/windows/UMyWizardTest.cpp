#include "WindowsTest.h"

#include "UMyWizard.h"

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>

namespace {

const QRgb Magenta = qRgb(255, 0, 255), Black = qRgb(0, 0, 0), White = qRgb(255, 255, 255);

// Builds an image from rows of characters: M magenta, B black, W white.
QImage Picture(const std::vector<std::string> &Rows) {
    QImage Image(int(Rows[0].size()), int(Rows.size()), QImage::Format_RGB32);
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X)
            Image.setPixel(X, Y, Rows[Y][X] == 'M' ? Magenta : Rows[Y][X] == 'B' ? Black : White);
    return Image;
}

// The rows of Image, with F for the Fill colour.
std::vector<std::string> Rows(const QImage &Image, QRgb Fill) {
    std::vector<std::string> Result(Image.height());
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X) {
            const QRgb P = Image.pixel(X, Y);
            Result[Y] += P == Fill ? 'F' : P == Magenta ? 'M' : P == Black ? 'B' : 'W';
        }
    return Result;
}

// A four-page wizard built in code the way a design would build it.
class TTestWizard : public TMyWizard {
public:
    TTestWizard() : TMyWizard(nullptr, RootKey, "Test", 3) {
        auto *Pages = new QStackedWidget(this);
        for (int I = 0; I < 4; ++I)
            Pages->addWidget(new QWidget);
        auto *Flag = new QLabel(this);
        Flag->setPixmap(QPixmap::fromImage(Picture({"MMM", "MMB"})));
        auto *Back = new QPushButton(this), *Next = new QPushButton(this);
        for (auto [Widget, Name] : {std::pair<QObject *, const char *>{Pages, "notebook"},
                                    {Flag, "ImageFlag"},
                                    {Back, "BtnBack"},
                                    {Next, "BtnNext"}})
            Widget->setObjectName(Name);
        Loaded();
        OnClick(BtnNext, [this] { Move(+1); });
        OnClick(BtnBack, [this] { Move(-1); });
        UpdateButtons();
    }
    void Move(int Step) {
        notebook->setCurrentIndex(std::clamp(notebook->currentIndex() + Step, 0, LastPage));
        UpdateButtons();
    }
    // Page, Back shown, Next's caption, default and modal result.
    std::string State() {
        return std::to_string(notebook->currentIndex()) + (BtnBack->isHidden() ? " -" : " Back") +
               " " + BtnNext->text().toStdString() + (BtnNext->isDefault() ? " default " : " ") +
               std::to_string(ModalResult(BtnNext));
    }
};

class TMyWizardTest : public FrameworkTest {};

} // namespace

// Only Finish closes: the click that reaches the last page must not. Next is
// the default button throughout, so Enter always moves on.
TEST_F(TMyWizardTest, ButtonsFollowThePages) {
    TTestWizard Wizard;
    EXPECT_EQ(Wizard.Section, "Test\\Wizard");
    const QRgb Button = Wizard.palette().button().color().rgb();
    EXPECT_EQ(Rows(Wizard.ImageFlag->pixmap().toImage(), Button),
              (std::vector<std::string>{"FFF", "FFB"}));
    std::vector<std::string> States{Wizard.State()};
    QTimer::singleShot(0, &Wizard, [&] {
        for (int I = 0; I < 3; ++I)
            Wizard.BtnNext->click(), States.push_back(Wizard.State());
        Wizard.BtnBack->click(), States.push_back(Wizard.State());
        Wizard.BtnNext->click(), Wizard.BtnNext->click();
    });
    EXPECT_EQ(Wizard.exec(), mrOk);
    EXPECT_EQ(States,
              (std::vector<std::string>{"0 - &Next > default 0", "1 Back &Next > default 0",
                                        "2 Back &Next > default 0", "3 Back &Finish default 1",
                                        "2 Back &Next > default 0"}));
}

TEST_F(TMyWizardTest, FloodFillKeepsUnconnectedIslands) {
    const QRgb Fill = qRgb(212, 208, 200);
    QImage Image =
        Picture({"MMMMMMMM", "MMMMMMMM", "MMBBBBMM", "MMBMMBMM", "MMBBBBMW", "MMMMMMWM"});
    FillMagentaBackground(Image, Fill);
    EXPECT_EQ(Rows(Image, Fill), (std::vector<std::string>{"FFFFFFFF", "FFFFFFFF", "FFBBBBFF",
                                                           "FFBMMBFF", "FFBBBBFW", "FFFFFFWM"}));
    // Nothing to fill when (1, 1) is not magenta or does not exist.
    for (const std::vector<std::string> &Same : {std::vector<std::string>{"MMM", "MWM"}, {"M"}}) {
        QImage Unchanged = Picture(Same);
        FillMagentaBackground(Unchanged, Fill);
        EXPECT_EQ(Rows(Unchanged, Fill), Same);
    }
}
