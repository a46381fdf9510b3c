#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QMimeData;
class QWidget;

// The local files or folders a drop names, or why it cannot be taken: text,
// something that is not a local file, or more than MaxFiles names.
struct TFileDrop {
    QStringList Files;
    QString Refusal; // empty when Files may be used
};
TFileDrop ReadFileDrop(const QMimeData *Data, int MaxFiles);

// Makes Target (and its viewport or line edit, where drops land) take
// drops from outside the program: Take gets the one to MaxFiles dropped
// files or folders, Refuse the reason a drop changes nothing. Drags that start inside
// the program stay ordinary editing.
void AcceptFileDrops(QWidget *Target, int MaxFiles, std::function<void(const QStringList &)> Take,
                     std::function<void(const QString &)> Refuse);

// A file-name box that takes one dropped file or folder: Put gets its name. A refused
// drop says why in a tool tip under the box and tells Refused.
void AcceptFileNameDrop(QWidget *Box, std::function<void(const QString &)> Put,
                        std::function<void(const QString &)> Refused);
