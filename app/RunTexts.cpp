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

std::pair<QString, QString> RunFileLabels(const TCompareRequest *Request) {
    if (Request == nullptr)
        return {QStringLiteral("A File"), QStringLiteral("Other File")};
    const auto [label1, label2] = ReportLabels(Request->FileName1, Request->FileName2);
    return {FileNameText(label1), FileNameText(label2)};
}

QString LoadErrorsText(const TCompareRequest &Request, const TCompareOutcome &Outcome) {
    if (!Outcome.PatternError.empty()) {
        QString text = QString::fromStdString(Outcome.PatternError);
        return text.replace(0, 1, text.front().toUpper());
    }
    QStringList lines;
    // The outcome names the file inside a folder that was given beside a file.
    const auto compared = [](const std::string &Compared, const std::string &Asked) {
        return Compared.empty() ? &Asked : &Compared;
    };
    for (const auto &[name, error] :
         {std::pair{compared(Outcome.FileName1, Request.FileName1), Outcome.LoadError1},
          std::pair{compared(Outcome.FileName2, Request.FileName2), Outcome.LoadError2}})
        if (error != 0)
            lines << QStringLiteral("Cannot read file %1: %2")
                         .arg(FileNameText(*name), QString::fromLocal8Bit(LoadErrorText(error)));
    return lines.join(QLatin1Char('\n'));
}
