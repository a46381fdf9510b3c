#include "ReportFont.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

namespace {

// The faces the platform itself calls fixed-pitch, its own monospace face
// first. A style hint alone is not enough: fontconfig may answer it with a
// face of mixed widths.
QStringList FixedPitchFamilies() {
    QStringList families;
    const QString preferred =
        QFontInfo(QFontDatabase::systemFont(QFontDatabase::FixedFont)).family();
    if (QFontDatabase::isFixedPitch(preferred))
        families << preferred;
    for (const QString &family : QFontDatabase::families())
        if (family != preferred && QFontDatabase::isFixedPitch(family) &&
            !QFontDatabase::isPrivateFamily(family))
            families << family;
    return families;
}

} // namespace

QFont ReportDisplayFont(const QFont &Font) {
    QFont font = Font;
    if (QFontDatabase::hasFamily(font.family()))
        return font;
    if (QFont::substitutes(font.family()).isEmpty())
        QFont::insertSubstitutions(font.family(), FixedPitchFamilies());
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}
