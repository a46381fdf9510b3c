#pragma once

class QFileDialog;
class QFileSystemModel;

// Makes a file dialog (and the completer of its name box), or the model of
// any other file-name completer, show each file by its name and by whether
// it is a folder, never by its contents. Qt's own icon provider reads a
// file's first bytes to tell its type, and reading some files never ends:
// typing /proc/ as root would read /proc/kmsg and hang the program.
void ShowNamesOnly(QFileDialog *Dialog);
// The model must have a parent, which it is destroyed with.
void ShowNamesOnly(QFileSystemModel *Model);
