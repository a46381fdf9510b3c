#pragma once

#include <QString>
#include <QStringList>

// Clears Strings, then appends the names of the saved configurations: the
// subkeys of "...\Tarnwells\Others", which is created when missing.
// Store failures propagate.
void ListConfigurations(QStringList &Strings);

// The login name of the effective user from the password database, else
// $USER, else the empty text.
QString CurrentUserName();
