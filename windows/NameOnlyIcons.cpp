#include "NameOnlyIcons.h"

#include <QAbstractFileIconProvider>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHash>

namespace {

// Tells a file's icon and type from its name and status alone. The model
// asks from a thread of its own: the icons are made here, in the window
// thread, and only copied there.
class TNameOnlyIconProvider : public QAbstractFileIconProvider {
public:
    TNameOnlyIconProvider() {
        const QFileIconProvider style;
        for (const IconType Type : {Computer, Desktop, Trashcan, Network, Drive, Folder, File})
            FIcons.insert(Type, style.icon(Type));
    }
    QIcon icon(IconType Type) const override { return FIcons.value(Type); }
    QIcon icon(const QFileInfo &Info) const override {
        return FIcons.value(Info.isDir() ? Folder : File);
    }
    QString type(const QFileInfo &Info) const override {
        return Info.isDir() ? QStringLiteral("Folder") : QStringLiteral("File");
    }

private:
    QHash<IconType, QIcon> FIcons;
};

// Owns a provider for as long as its user lives: made after the model it
// serves, a child of the model's parent, it goes after the model does.
class TProviderHolder : public QObject {
public:
    using QObject::QObject;
    TNameOnlyIconProvider Provider;
};

} // namespace

void ShowNamesOnly(QFileDialog *Dialog) {
    Dialog->setOption(QFileDialog::DontUseCustomDirectoryIcons);
    Dialog->setIconProvider(&(new TProviderHolder(Dialog))->Provider);
}

void ShowNamesOnly(QFileSystemModel *Model) {
    Model->setOption(QFileSystemModel::DontUseCustomDirectoryIcons);
    Model->setIconProvider(&(new TProviderHolder(Model->parent()))->Provider);
}
