#include "ConfigNames.h"

#include "SettingsRootKey.h"
#include "TRegIniFile.h"

#include <cstdlib>
#include <pwd.h>
#include <string>
#include <unistd.h>
#include <vector>

void ListConfigurations(QStringList &Strings) {
    TRegIniFile Others(OthersKey);
    std::vector<std::string> Names;
    Others.ReadSections(Names);
    Strings.clear();
    for (const std::string &Name : Names)
        Strings.append(QString::fromStdString(Name));
}

QString CurrentUserName() {
    if (const passwd *Entry = getpwuid(geteuid()); Entry != nullptr && Entry->pw_name != nullptr)
        return QString::fromLocal8Bit(Entry->pw_name);
    if (const char *User = std::getenv("USER"); User != nullptr)
        return QString::fromLocal8Bit(User);
    return QString();
}
