#include "RunTexts.h"

#include "Compare.h"
#include "SettingsRootKey.h"

#include <QFile>
#include <QStringList>
#include <optional>

namespace {

QString FileNameText(const std::string &Name) {
    return QFile::decodeName(QByteArray::fromStdString(Name));
}

// The name of the named configuration whose root key path is KeyPath; none
// for the default configuration.
std::optional<QString> ConfigurationName(const std::string &KeyPath) {
    const std::string others = std::string(OthersKey) + "\\";
    if (KeyPath.compare(0, others.size(), others) != 0)
        return std::nullopt;
    return QString::fromStdString(KeyPath.substr(others.size()));
}

} // namespace

QString ReportTitle(const std::string &KeyPath) {
    const std::optional<QString> name = ConfigurationName(KeyPath);
    return name ? QStringLiteral("Compare Report [%1]").arg(*name)
                : QStringLiteral("Compare Report");
}

QString RunTitle(const TCompareRequest &Request, const std::string &KeyPath) {
    const auto [label1, label2] = ReportLabels(Request.FileName1, Request.FileName2);
    return QStringLiteral("%1 - %2 : %3")
        .arg(ReportTitle(KeyPath), FileNameText(label1), FileNameText(label2));
}

QString ConfigurationStatus(const std::string &KeyPath, const char *Done) {
    const QString name = ConfigurationName(KeyPath).value_or(QString());
    return QStringLiteral("Configuration %1 %2; changes now go to %1")
        .arg(name, QLatin1StringView(Done));
}

QString LoadErrorsText(const TCompareRequest &Request, const TCompareOutcome &Outcome) {
    QStringList lines;
    for (const auto &[name, error] : {std::pair{&Request.FileName1, Outcome.LoadError1},
                                      std::pair{&Request.FileName2, Outcome.LoadError2}})
        if (error != 0)
            lines << QStringLiteral("Cannot read file %1: %2")
                         .arg(FileNameText(*name), QString::fromLocal8Bit(LoadErrorText(error)));
    return lines.join(QLatin1Char('\n'));
}
