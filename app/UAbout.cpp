#include "UAbout.h"

#include "AppResources.h"

#include <QPixmap>
#include <memory>

TAbout::TAbout(const QString &ProductCaption, const QString &Version, QWidget *Owner)
    : TForm(Owner) {
    ui.setupUi(this);
    setFont(DesignFont());
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(size());
    // Shown where it was designed, not centred.
    move(198, 104);
    SetModalResult(ui.OK, mrOk);
    ui.TarnwellNameLabel->setText(ProductCaption);
    ui.TarnwellNameLabel->adjustSize();
    ui.versionLabel->setText(QStringLiteral("version: ") + Version);
    ui.versionLabel->adjustSize();
    ui.iconImage->setPixmap(QPixmap(QStringLiteral(":/MAINICON")));
}

void ShowAboutBox(const QString &ProductCaption, const QString &Version) {
    LoadAppResources();
    auto about = std::make_unique<TAbout>(ProductCaption, Version);
    ShowModal(about.get());
}
