#include "TFolderWalk.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <memory>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace {

// File systems whose folders describe the running system rather than hold
// files: walking them would never end (/proc links to every process's
// root) or read files that block.
bool IsKernelFileSystem(long Type) {
    switch (static_cast<unsigned long>(Type)) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case DEVPTS_SUPER_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case BPF_FS_MAGIC:
    case PSTOREFS_MAGIC:
    case SELINUX_MAGIC:
    case BINFMTFS_MAGIC:
        return true;
    default:
        return false;
    }
}

std::string WithSlash(std::string Folder) {
    if (Folder.empty() || Folder.back() != '/')
        Folder += '/';
    return Folder;
}

} // namespace

TFolderWalk::TFolderWalk(std::string Folder1, std::string Folder2)
    : FRoot1(WithSlash(std::move(Folder1))), FRoot2(WithSlash(std::move(Folder2))) {}

TFolderWalk::TEntry TFolderWalk::Examine(int At, const std::string &Name) {
    TEntry Entry;
    struct stat Info;
    if (fstatat(At, Name.c_str(), &Info, 0) != 0) {
        Entry.Error = errno;
        return Entry;
    }
    Entry.Mode = Info.st_mode;
    Entry.Device = Info.st_dev;
    Entry.Inode = Info.st_ino;
    return Entry;
}

TFolderWalk::TEntry TFolderWalk::Examine(const TName &Name, const std::string &FullName,
                                         const TEntry &Parent, int At) {
    if (Name.Type == DT_REG)
        return {0, S_IFREG, Parent.Device, Name.Inode};
    return At >= 0 ? Examine(At, Name.Text) : Examine(FullName);
}

// The listing is read straight from the system, a buffer at a time: a
// DIR stream would ask for the folder's status first, once for every
// folder of both trees.
int TFolderWalk::List(int At, const std::string &Folder, std::vector<TName> &Names, int &Open) {
    Open = openat(At, Folder.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC);
    if (Open < 0)
        return errno;
    alignas(dirent64) char Buffer[32768];
    for (;;) {
        const ssize_t Got = getdents64(Open, Buffer, sizeof Buffer);
        if (Got < 0 && errno == EINTR)
            continue;
        if (Got < 0) {
            const int Error = errno;
            close(Open);
            Open = -1;
            return Error;
        }
        if (Got == 0)
            break;
        for (ssize_t At = 0; At < Got;) {
            const auto *Entry = reinterpret_cast<const dirent64 *>(Buffer + At);
            At += Entry->d_reclen;
            const char *Name = Entry->d_name;
            if (std::strcmp(Name, ".") != 0 && std::strcmp(Name, "..") != 0)
                Names.push_back({Name, Entry->d_type, Entry->d_ino});
        }
    }
    // std::string compares as unsigned bytes: byte order, whatever the locale.
    std::sort(Names.begin(), Names.end());
    return 0;
}

void TFolderWalk::Close(TFrame &Frame) {
    for (int *Open : {&Frame.Open1, &Frame.Open2})
        if (*Open >= 0) {
            close(*Open);
            *Open = -1;
        }
}

// A folder that cannot be opened again leaves its files to be opened by
// their whole names.
void TFolderWalk::Reopen(TFrame &Frame) {
    if (Frame.Open1 >= 0 || Frame.Open2 >= 0)
        return;
    const std::string_view Path = std::string_view(FPath).substr(0, Frame.PathLength);
    const int Flags = O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC;
    Frame.Open1 = open((FRoot1 + std::string(Path)).c_str(), Flags);
    Frame.Open2 = open((FRoot2 + std::string(Path)).c_str(), Flags);
}

bool TFolderWalk::HoldsFolders() const {
    if (FFrames.empty() || FFrames.size() > OpenFrames)
        return false;
    const TFrame &Frame = FFrames.back();
    return Frame.Next1 < Frame.Names1.size() || Frame.Next2 < Frame.Names2.size();
}

TFolderWalk::~TFolderWalk() {
    for (TFrame &Frame : FFrames)
        Close(Frame);
}

bool TFolderWalk::LoopsOn(const TEntry &Folder, bool First) const {
    const auto Same = [&Folder](const TEntry &Above) {
        return Above.Device == Folder.Device && Above.Inode == Folder.Inode;
    };
    for (const TFrame &Frame : FFrames)
        if (Same(First ? Frame.Folder1 : Frame.Folder2))
            return true;
    const std::vector<TEntry> &Above = First ? FAbove1 : FAbove2;
    return std::any_of(Above.begin(), Above.end(), Same);
}

bool TFolderWalk::KernelFolder(const std::string &Name, const TEntry &Folder,
                               const TEntry &Parent) {
    if (Folder.Device == Parent.Device)
        return Parent.Kernel;
    struct statfs Info;
    return statfs(Name.c_str(), &Info) == 0 && IsKernelFileSystem(long(Info.f_type));
}

std::vector<TFolderWalk::TEntry> TFolderWalk::FoldersAbove(const std::string &Folder) {
    std::vector<TEntry> Above;
    std::unique_ptr<char, void (*)(void *)> Real(realpath(Folder.c_str(), nullptr), std::free);
    if (!Real)
        return Above;
    std::string Path = Real.get();
    while (Path.size() > 1) {
        Path.resize(std::max<std::size_t>(Path.rfind('/'), 1));
        Above.push_back(Examine(Path));
    }
    return Above;
}

void TFolderWalk::Name(TPathEvent &Event) {
    FName1.assign(FRoot1).append(FPath);
    FName2.assign(FRoot2).append(FPath);
    Event = TPathEvent();
    Event.Path = FPath;
    Event.FileName1 = FName1;
    Event.FileName2 = FName2;
}

bool TFolderWalk::Enter(const TEntry &Folder1, const TEntry &Folder2, TPathEvent &Event) {
    TFrame Frame;
    Frame.PathLength = FPath.size();
    Frame.Folder1 = Folder1;
    Frame.Folder2 = Folder2;
    const int At1 = FFrames.empty() ? -1 : FFrames.back().Open1;
    const int At2 = FFrames.empty() ? -1 : FFrames.back().Open2;
    const std::string *Failed = &FName1;
    int Error = At1 >= 0 ? List(At1, FListed1.Text, Frame.Names1, Frame.Open1)
                         : List(AT_FDCWD, FName1, Frame.Names1, Frame.Open1);
    if (Error == 0) {
        Failed = &FName2;
        Error = At2 >= 0 ? List(At2, FListed2.Text, Frame.Names2, Frame.Open2)
                         : List(AT_FDCWD, FName2, Frame.Names2, Frame.Open2);
    }
    if (Error != 0) {
        Close(Frame);
        Event.Kind = TPathKind::Unreadable;
        Event.Error = Error;
        Event.FailedName = *Failed;
        return false;
    }
    if (FFrames.size() > OpenFrames)
        Close(FFrames.back());
    FFrames.push_back(std::move(Frame));
    return true;
}

void TFolderWalk::Both(TPathEvent &Event) {
    Name(Event);
    const TFrame &Parent = FFrames.back();
    const TEntry Entry1 = Examine(FListed1, FName1, Parent.Folder1, Parent.Open1);
    const TEntry Entry2 = Examine(FListed2, FName2, Parent.Folder2, Parent.Open2);
    if (Entry1.Error != 0 || Entry2.Error != 0) {
        // A folder that went since it was listed is still named as a folder.
        if (FListed1.Type == DT_DIR || FListed2.Type == DT_DIR) {
            FPath += '/';
            Name(Event);
        }
        Event.Kind = TPathKind::Unreadable;
        Event.Error = Entry1.Error != 0 ? Entry1.Error : Entry2.Error;
        Event.FailedName = Entry1.Error != 0 ? Event.FileName1 : Event.FileName2;
        return;
    }
    const bool Folder1 = S_ISDIR(Entry1.Mode), Folder2 = S_ISDIR(Entry2.Mode);
    if ((!Folder1 && !S_ISREG(Entry1.Mode)) || (!Folder2 && !S_ISREG(Entry2.Mode))) {
        Event.Kind = TPathKind::NotRegular;
        return;
    }
    if (Folder1 != Folder2) {
        Event.Kind = TPathKind::FileAndFolder;
        return;
    }
    if (!Folder1) {
        Event.Kind = TPathKind::Files;
        Event.SameFile = Entry1.Device == Entry2.Device && Entry1.Inode == Entry2.Inode;
        Event.File1 = Parent.Open1 >= 0 ? TFileAt{Parent.Open1, FListed1.Text.c_str()}
                                        : TFileAt{AT_FDCWD, FName1.c_str()};
        Event.File2 = Parent.Open2 >= 0 ? TFileAt{Parent.Open2, FListed2.Text.c_str()}
                                        : TFileAt{AT_FDCWD, FName2.c_str()};
        return;
    }
    FPath += '/';
    Name(Event);
    if (LoopsOn(Entry1, true) || LoopsOn(Entry2, false)) {
        Event.Kind = TPathKind::LinkLoop;
        return;
    }
    TEntry Child1 = Entry1, Child2 = Entry2;
    Child1.Kernel = KernelFolder(FName1, Entry1, Parent.Folder1);
    Child2.Kernel = KernelFolder(FName2, Entry2, Parent.Folder2);
    if (Child1.Kernel || Child2.Kernel)
        Event.Kind = TPathKind::NotRegular;
    else if (Enter(Child1, Child2, Event))
        Event.Kind = TPathKind::Folders;
}

bool TFolderWalk::Next(TPathEvent &Event) {
    if (!FStarted) {
        FStarted = true;
        FPath.clear();
        Name(Event);
        TEntry Root1 = Examine(FName1);
        TEntry Root2 = Examine(FName2);
        // The two folders given are walked whatever file system they are on,
        // but nothing below them on a kernel's.
        Root1.Kernel = KernelFolder(FName1, Root1, TEntry());
        Root2.Kernel = KernelFolder(FName2, Root2, TEntry());
        FAbove1 = FoldersAbove(FName1);
        FAbove2 = FoldersAbove(FName2);
        if (Root1.Error != 0 || Root2.Error != 0) {
            Event.Kind = TPathKind::Unreadable;
            Event.Error = Root1.Error != 0 ? Root1.Error : Root2.Error;
            Event.FailedName = Root1.Error != 0 ? Event.FileName1 : Event.FileName2;
            return true;
        }
        if (!Enter(Root1, Root2, Event))
            return true;
    }
    while (!FFrames.empty()) {
        TFrame &Frame = FFrames.back();
        FPath.resize(Frame.PathLength);
        const bool Has1 = Frame.Next1 < Frame.Names1.size();
        const bool Has2 = Frame.Next2 < Frame.Names2.size();
        if (!Has1 && !Has2) {
            Close(Frame);
            FFrames.pop_back();
            continue;
        }
        Reopen(Frame);
        const int Order =
            !Has1   ? 1
            : !Has2 ? -1
                    : Frame.Names1[Frame.Next1].Text.compare(Frame.Names2[Frame.Next2].Text);
        FListed1 = Order <= 0 ? std::move(Frame.Names1[Frame.Next1++]) : TName();
        FListed2 = Order >= 0 ? std::move(Frame.Names2[Frame.Next2++]) : TName();
        FPath += Order <= 0 ? FListed1.Text : FListed2.Text;
        if (Order == 0) {
            Both(Event); // may put a frame on the path
            return true;
        }
        Name(Event);
        const unsigned char Type = Order < 0 ? FListed1.Type : FListed2.Type;
        if (Type == DT_DIR ||
            (Type != DT_REG && S_ISDIR(Examine(Order < 0 ? FName1 : FName2).Mode))) {
            FPath += '/';
            Name(Event);
        }
        Event.Kind = Order < 0 ? TPathKind::OnlyInFirst : TPathKind::OnlyInSecond;
        return true;
    }
    return false;
}
