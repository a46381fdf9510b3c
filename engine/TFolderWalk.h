#pragma once

#include "TContentCheck.h"

#include <cstdint>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

// What one path of two trees is.
enum class TPathKind {
    Folders,       // a folder in both trees, entered next (nothing to report)
    OnlyInFirst,   // in the first tree only; a folder's contents are not visited
    OnlyInSecond,  // in the second tree only
    Files,         // a regular file in both trees
    FileAndFolder, // a folder in one tree, a regular file in the other
    NotRegular,    // a FIFO, device or socket, or a folder of a kernel file system
                   // (/proc, /sys ...), in either tree
    LinkLoop,      // a folder in both trees, in one of them reached again through
                   // a link on its own path
    Unreadable,    // cannot be examined, or a folder that cannot be listed
};

// One path the walk meets. The views stay valid until the next call of Next.
struct TPathEvent {
    TPathKind Kind = TPathKind::Files;
    // Relative to the two folders, names parted by '/'; a folder's ends in
    // '/'. Empty for the two folders themselves (a root that cannot be read).
    std::string_view Path;
    std::string_view FileName1;  // the path below the first folder, there or not
    std::string_view FileName2;  // the path below the second folder
    int Error = 0;               // Unreadable: the errno value
    std::string_view FailedName; // Unreadable: the name that gave Error
    bool SameFile = false;       // Files: both names lead to one file
    TFileAt File1{AT_FDCWD, ""}; // Files: where to open the two files
    TFileAt File2{AT_FDCWD, ""};
};

// Walks two folders in step, matching entries by their path relative to
// the folder given: depth first; within a folder the entries sorted by name
// in byte order, files and folders interleaved. Symbolic links are followed;
// a folder reached again through a link on its own path is not entered
// (LinkLoop), nor is a folder of a kernel file system below the two given.
// Only the listings of the folders on the current path are held, so memory
// follows the depth of the trees, not their size. Names are opened and
// examined through their open folder, so the system never walks a whole
// path again. Never throws but std::bad_alloc.
class TFolderWalk {
public:
    TFolderWalk(std::string Folder1, std::string Folder2);
    ~TFolderWalk();
    TFolderWalk(const TFolderWalk &) = delete;
    TFolderWalk &operator=(const TFolderWalk &) = delete;

    // The next path in walk order into Event; false when both trees are done.
    // The first call lists the two folders themselves.
    bool Next(TPathEvent &Event);

    // Whether the next call of Next leaves open every folder that the
    // File1 and File2 of the events given so far are opened through, so
    // those files can still be opened after it: false when the deepest
    // folder is done (it closes next) or lies deeper than OpenFrames.
    bool HoldsFolders() const;

    // Folders down to this depth stay open while they are on the path;
    // deeper ones only while they are the deepest, and are opened again by
    // their whole names when the walk comes back to them, so a tree
    // thousands of folders deep holds a bounded number of descriptors.
    static constexpr std::size_t OpenFrames = 64;

private:
    // Where a name leads: its type and identity, or why stat failed.
    struct TEntry {
        int Error = 0;
        mode_t Mode = 0;
        dev_t Device = 0;
        ino_t Inode = 0;
        bool Kernel = false; // a folder on a kernel file system (set for folders entered)
    };
    // One name of a listing, with the type and inode number the listing
    // gives (DT_UNKNOWN where the file system gives none).
    struct TName {
        std::string Text;
        unsigned char Type = 0; // DT_UNKNOWN
        ino_t Inode = 0;
        bool operator<(const TName &Other) const { return Text < Other.Text; }
    };
    // One folder pair on the current path, and how far its names are done.
    struct TFrame {
        std::size_t PathLength; // of FPath, the frame's own path included
        std::vector<TName> Names1, Names2;
        std::size_t Next1 = 0, Next2 = 0;
        TEntry Folder1, Folder2;
        int Open1 = -1, Open2 = -1; // the folders' descriptors while open (see OpenFrames)
    };

    std::string FRoot1, FRoot2; // the folders, each followed by one '/'
    std::string FPath;          // the current frame's path, then the current name
    std::string FName1, FName2; // FRoot1 + FPath, FRoot2 + FPath
    std::vector<TFrame> FFrames;
    // The folders above each of the two folders given, to its real path's
    // root: a link back to one of them is a loop as well.
    std::vector<TEntry> FAbove1, FAbove2;
    bool FStarted = false;
    TName FListed1, FListed2; // the current name, as each tree lists it

    // Where Name leads: in the folder open as At, or a whole name with At
    // AT_FDCWD.
    static TEntry Examine(int At, const std::string &Name);
    static TEntry Examine(const std::string &Name) { return Examine(AT_FDCWD, Name); }
    // Where Name, listed in the folder Parent open as At (or -1), leads to;
    // FullName when the folder is not open. A regular file needs no stat:
    // the listing tells its type and inode number, so the files that most
    // trees are made of cost one open each.
    static TEntry Examine(const TName &Name, const std::string &FullName, const TEntry &Parent,
                          int At);
    // Opens Folder (in the folder open as At, or a whole name with At
    // AT_FDCWD) and puts its names, sorted, in Names; the errno value that
    // stopped the listing, or 0 with Open holding the folder.
    static int List(int At, const std::string &Folder, std::vector<TName> &Names, int &Open);
    static void Close(TFrame &Frame);
    // Opens the deepest frame's folders again, once the frame below is done.
    void Reopen(TFrame &Frame);
    bool LoopsOn(const TEntry &Folder, bool First) const;
    // Whether the folder Name is on a kernel file system: its parent's
    // answer while it is on the same device.
    static bool KernelFolder(const std::string &Name, const TEntry &Folder, const TEntry &Parent);
    // The folders from the root of Folder's real path down to its parent.
    static std::vector<TEntry> FoldersAbove(const std::string &Folder);
    // Sets the names for FPath and the event's views of them.
    void Name(TPathEvent &Event);
    // Lists the folder pair at FPath and puts it on the path; false with
    // Event made Unreadable when either cannot be listed. The pair is opened
    // as FListed1 and FListed2 in the deepest frame's folders where those
    // are open, else by its whole names.
    bool Enter(const TEntry &Folder1, const TEntry &Folder2, TPathEvent &Event);
    // The event for the name at FPath, which both trees list.
    void Both(TPathEvent &Event);
};
