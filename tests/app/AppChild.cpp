// A scripted user for the restart tests: runs the program's whole start-up
// and end on the settings named by the environment, does one thing in the
// report window and closes it.
//   AppChild keep TEXT   "Save Report on Exit" on, report TEXT
//   AppChild drop TEXT   "Save Report on Exit" off, report TEXT
//   AppChild dump FILE   writes the report shown at start-up to FILE
//   AppChild wait TEXT   "Save Report on Exit" on, report TEXT, then runs the
//                        window for real, saying "ready" on stdout, until ended
//   AppChild box -       starts on a configuration name that is not UTF-8 and
//                        shows its error box for real, saying "box" on stdout
// Exit status 0, or 3 when a window other than the report was shown.
#include "AppMain.h"
#include "UCompareDialog.h"
#include "UCompareReport.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <cstdio>

int main(int argc, char **argv) {
    QApplication application(argc, argv);
    if (argc != 3)
        return 2;
    const QString action = QString::fromLocal8Bit(argv[1]);
    const QString argument = QString::fromLocal8Bit(argv[2]);
    bool unexpected = false;
    SetModalHook([&](QDialog *Window) {
        auto *report = dynamic_cast<TCompareReport *>(Window);
        if (action == QLatin1String("box") && qobject_cast<QMessageBox *>(Window)) {
            std::printf("box\n");
            std::fflush(stdout);
            return Window->exec();
        }
        if (report == nullptr || action == QLatin1String("box")) {
            std::fprintf(stderr, "unexpected window %s\n", Window->metaObject()->className());
            unexpected = true;
            return int(mrCancel);
        }
        if (action == QLatin1String("dump")) {
            QFile out(argument);
            if (out.open(QIODevice::WriteOnly))
                out.write(report->findChild<QPlainTextEdit *>(QStringLiteral("resultField"))
                              ->toPlainText()
                              .toUtf8());
        } else {
            report->CompareDialog()
                ->findChild<QCheckBox *>(QStringLiteral("maintainReport"))
                ->setChecked(action != QLatin1String("drop"));
            report->findChild<QPlainTextEdit *>(QStringLiteral("resultField"))
                ->setPlainText(argument);
            if (action == QLatin1String("wait")) {
                std::printf("ready\n");
                std::fflush(stdout);
                return report->exec();
            }
        }
        report->findChild<QAction *>(QStringLiteral("Exit1"))->trigger();
        return report->result();
    });
    std::vector<std::string> arguments{argv[0]};
    if (action == QLatin1String("box"))
        arguments.emplace_back("bad\xff\xfe");
    const int status = RunApplication(arguments);
    return unexpected ? 3 : status;
}
