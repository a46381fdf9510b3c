#include "FileDrop.h"

#include "FileNameBox.h"
#include "FileNames.h"

#include <QAbstractScrollArea>
#include <QComboBox>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QToolTip>
#include <QUrl>
#include <new>

TFileDrop ReadFileDrop(const QMimeData *Data, int MaxFiles) {
    TFileDrop drop;
    const QString wanted = MaxFiles == 1   ? QStringLiteral("one file or folder")
                           : MaxFiles == 2 ? QStringLiteral("one or two files or folders")
                                           : QStringLiteral("one to %1 files").arg(MaxFiles);
    if (Data == nullptr || !Data->hasUrls()) {
        drop.Refusal = QStringLiteral("Only files can be dropped here: drop %1").arg(wanted);
        return drop;
    }
    const QList<QUrl> urls = Data->urls();
    if (urls.size() > MaxFiles) {
        drop.Refusal =
            QStringLiteral("%1 files were dropped: drop %2").arg(urls.size()).arg(wanted);
        return drop;
    }
    for (const QUrl &url : urls) {
        // The path's own bytes: toLocalFile() reads them as UTF-8, and a
        // name that is not would lose its bytes.
        const std::string bytes =
            QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
        const QString name = DecodeFileName(bytes);
        if (!url.isLocalFile()) {
            drop.Refusal = QStringLiteral("%1 is not a local file").arg(url.toDisplayString());
        } else {
            drop.Files << name;
            continue;
        }
        drop.Files.clear();
        break;
    }
    return drop;
}

namespace {

class TFileDropFilter : public QObject {
public:
    TFileDropFilter(QObject *Parent, int MaxFiles, std::function<void(const QStringList &)> Take,
                    std::function<void(const QString &)> Refuse)
        : QObject(Parent), FMaxFiles(MaxFiles), FTake(std::move(Take)), FRefuse(std::move(Refuse)) {
    }

protected:
    bool eventFilter(QObject *Watched, QEvent *Event) override {
        const QEvent::Type type = Event->type();
        if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
            return QObject::eventFilter(Watched, Event);
        auto *drag = static_cast<QDropEvent *>(Event);
        // A drag from inside the program moves or copies text as editing does.
        if (drag->source() != nullptr)
            return false;
        // Every outside drag is taken, so that a refused one can say why.
        drag->acceptProposedAction();
        if (type != QEvent::Drop)
            return true;
        // Nothing may leave an event handler: memory that runs out is told.
        try {
            const TFileDrop drop = ReadFileDrop(drag->mimeData(), FMaxFiles);
            if (drop.Refusal.isEmpty())
                FTake(drop.Files);
            else
                FRefuse(drop.Refusal);
        } catch (const std::bad_alloc &) {
            FRefuse(QStringLiteral("Not enough memory for the drop"));
        }
        return true;
    }

private:
    int FMaxFiles;
    std::function<void(const QStringList &)> FTake;
    std::function<void(const QString &)> FRefuse;
};

} // namespace

void AcceptFileDrops(QWidget *Target, int MaxFiles, std::function<void(const QStringList &)> Take,
                     std::function<void(const QString &)> Refuse) {
    auto *filter = new TFileDropFilter(Target, MaxFiles, std::move(Take), std::move(Refuse));
    Target->setAcceptDrops(true);
    Target->installEventFilter(filter);
    QWidget *inner = nullptr;
    if (auto *area = qobject_cast<QAbstractScrollArea *>(Target))
        inner = area->viewport();
    else if (auto *box = qobject_cast<QComboBox *>(Target))
        inner = box->lineEdit();
    if (inner != nullptr) {
        inner->setAcceptDrops(true);
        inner->installEventFilter(filter);
    }
}

void AcceptFileNameDrop(QWidget *Box, std::function<void(const QString &)> Put,
                        std::function<void(const QString &)> Refused) {
    AcceptFileDrops(
        Box, 1, [Put = std::move(Put)](const QStringList &Files) { Put(Files.first()); },
        [Box, Refused = std::move(Refused)](const QString &Why) {
            ShowTipUnder(Box, Why);
            Refused(Why);
        });
}
