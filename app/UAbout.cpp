#include "UAbout.h"

#include "AppResources.h"

#include <QPixmap>
#include <memory>

TAbout::TAbout(QWidget *Owner) : TForm(Owner) {
    setupUi(this);
    setFont(DesignFont());
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(size());
    // Shown where it was designed, not centred.
    move(198, 104);
    SetModalResult(OK, mrOk);
}

void ShowAboutBox(const QString &ProductCaption, const QString &Version) {
    LoadAppResources();
    auto about = std::make_unique<TAbout>();
    about->TarnwellNameLabel->setText(ProductCaption);
    about->TarnwellNameLabel->adjustSize();
    about->versionLabel->setText(QStringLiteral("version: ") + Version);
    about->versionLabel->adjustSize();
    about->iconImage->setPixmap(QPixmap(QStringLiteral(":/MAINICON")));
    ShowModal(about.get());
}
