#pragma once

#include <QComboBox>
#include <string>

class TMyIniFile;

// An editable combo box that remembers the texts entered in it, the most
// recent first, and saves them in the subkey <Name>-History-<Number>. The
// texts are file names, stored as their bytes (see FileNames.h).
class THistoryBox : public QComboBox {
    Q_OBJECT
public:
    explicit THistoryBox(QWidget *Parent = nullptr);

    // The most entries saved and restored; the list in memory is not capped.
    int Size = 0;

    // Makes the edit text the first entry (an equal entry is removed first;
    // letter case counts, as in the file system's names) and returns it.
    QString UpdateHistory();
    void LoadHistory(TMyIniFile &Store, const std::string &Name, int Number);
    void SaveHistory(TMyIniFile &Store, const std::string &Name, int Number);

    // Removes one pair of matching double or single quotes around Text.
    static QString StripQuotes(const QString &Text);

    // Opens the list with the entry equal to the edit text highlighted (none
    // when no entry is), wide enough for the longest entry up to the screen's
    // width; longer entries lose their middle, so the file name stays.
    void showPopup() override;
};
