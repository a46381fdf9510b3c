#include "UMyReport.h"

#include "ULoadConfig.h"
#include "USaveConfig.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <cstdlib>
#include <limits>
#include <memory>

namespace {

// The name of Family's style nearest to Font: the same slant (italic and
// oblique alike), then the closest weight; empty when none has that slant.
QString NearestStyle(const QString &Family, const QFont &Font) {
    const bool slanted = Font.style() != QFont::StyleNormal;
    QString nearest;
    int distance = std::numeric_limits<int>::max();
    for (const QString &style : QFontDatabase::styles(Family)) {
        const QFont face = QFontDatabase::font(Family, style, 10);
        if ((face.style() != QFont::StyleNormal) != slanted)
            continue;
        const int gap = std::abs(int(face.weight()) - int(Font.weight()));
        if (gap < distance) {
            distance = gap;
            nearest = style;
        }
    }
    return nearest;
}

} // namespace

TMyReport::TMyReport(QWidget *Owner, const std::string &KeyPath, const std::string &Name)
    : TMyForm(Owner, KeyPath, Name + "\\Report") {}

void TMyReport::LoadLocalFromIniFile() {
    TMyForm::LoadLocalFromIniFile();
    if (Dialog != nullptr)
        Dialog->LoadFromIniFile();
    if (Wizard != nullptr)
        Wizard->LoadFromIniFile();
}

void TMyReport::SaveLocalToIniFile() {
    TMyForm::SaveLocalToIniFile();
    IniFile->WriteInteger(Section, "Version", 1);
    if (Dialog != nullptr)
        Dialog->SaveToIniFile();
    if (Wizard != nullptr)
        Wizard->SaveToIniFile();
}

void TMyReport::UseConfiguration(const std::string &Name) {
    TMyForm::UseConfiguration(Name);
    if (Dialog != nullptr)
        Dialog->UseConfiguration(Name);
    if (Wizard != nullptr)
        Wizard->UseConfiguration(Name);
}

void TMyReport::ShowDialog() {
    const int Result = ShowModal(Dialog);
    if (Result == mrWizard)
        ShowWizard();
    else if (Result == mrOk)
        RunFromDialog();
}

void TMyReport::ShowWizard() {
    if (ShowModal(Wizard) == mrOk)
        RunFromWizard();
}

QFontDialog *TMyReport::GetFontDialog() {
    if (FontDialog1 == nullptr) {
        FontDialog1 = new QFontDialog(this);
        FontDialog1->setObjectName(QStringLiteral("FontDialog1"));
        FontDialog1->setOption(QFontDialog::DontUseNativeDialog);
    }
    return FontDialog1;
}

void TMyReport::ChooseFont() {
    QFontDialog *Fonts = GetFontDialog();
    if (Fonts == nullptr)
        return;
    Fonts->setOption(QFontDialog::DontUseNativeDialog);
    // A cancelled dialog must offer the report's font next time, not the
    // one the user tried and dropped.
    const QFont Before = Fonts->currentFont();
    if (ShowModal(Fonts) == QDialog::Accepted)
        ApplyReportFont(Fonts->currentFont());
    else
        Fonts->setCurrentFont(Before);
}

void TMyReport::ApplyReportFont(const QFont &Font) {
    FReportFont = Font;
    SetReportFont(Font);
}

void TMyReport::ReadReportFont(const std::string &Ident) {
    QFont Font = FReportFont;
    IniFile->ReadFont(Section, Ident, Font);
    ApplyReportFont(Font);
    // The dialog can only offer faces that exist: it shows the stand-in.
    QFont Offered = Font;
    if (!QFontDatabase::hasFamily(Offered.family()))
        Offered.setFamily(QFontInfo(Offered).family());
    // The dialog finds a style by its name, and a regular face may be called
    // "Book": unnamed, it would offer the family's first style, perhaps a
    // slanted one, and OK would apply that.
    const QString Style = NearestStyle(Offered.family(), Offered);
    if (!Style.isEmpty())
        Offered.setStyleName(Style);
    GetFontDialog()->setCurrentFont(Offered);
}

void TMyReport::WriteReportFont(const std::string &Ident) {
    IniFile->WriteFont(Section, Ident, FReportFont);
}

bool TMyReport::SaveConfiguration() {
    auto Window = std::make_unique<TSaveConfig>(this);
    if (ShowModal(Window.get()) != mrOk)
        return false;
    const std::string Name = Window->Name().toStdString();
    UseConfiguration(Name);
    SaveToIniFile();
    return true;
}

bool TMyReport::LoadConfiguration() {
    auto Window = std::make_unique<TLoadConfig>(this);
    if (ShowModal(Window.get()) != mrOk)
        return false;
    const std::string Name = Window->Name().toStdString();
    UseConfiguration(Name);
    LoadFromIniFile();
    return true;
}
