#include "RunTexts.h"

#include "Compare.h"

#include <QFile>
#include <QStringList>

namespace {

QString FileNameText(const std::string &Name) {
    return QFile::decodeName(QByteArray::fromStdString(Name));
}

} // namespace

QString RunTitle(const TCompareRequest &Request) {
    const auto [label1, label2] = ReportLabels(Request.FileName1, Request.FileName2);
    return QStringLiteral("Compare Report - %1 : %2")
        .arg(FileNameText(label1), FileNameText(label2));
}

std::pair<QString, QString> RunFileLabels(const TCompareRequest *Request) {
    if (Request == nullptr)
        return {QStringLiteral("A File"), QStringLiteral("Other File")};
    const auto [label1, label2] = ReportLabels(Request->FileName1, Request->FileName2);
    return {FileNameText(label1), FileNameText(label2)};
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
