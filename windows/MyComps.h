#pragma once

#include <QComboBox>
#include <string>

class TMyIniFile;

// An editable combo box that remembers the texts entered in it, the most
// recent first, and saves them in the subkey <Name>-History-<Number>.
class THistoryBox : public QComboBox {
    Q_OBJECT
public:
    explicit THistoryBox(QWidget *Parent = nullptr);

    // The most entries saved and restored; the list in memory is not capped.
    int Size = 0;

    // Makes the edit text the first entry (a case-insensitive equal entry is
    // removed first) and returns it.
    QString UpdateHistory();
    void LoadHistory(TMyIniFile &Store, const std::string &Name, int Number);
    void SaveHistory(TMyIniFile &Store, const std::string &Name, int Number);

    // Removes one pair of matching double or single quotes around Text.
    static QString StripQuotes(const QString &Text);
};
