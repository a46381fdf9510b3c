#include "TRegistry.h"

#include "THive.h"
#include "TQuery.h"
#include "TRegistryTransaction.h"

namespace {

// Value types, numbered as the registry numbers them. The system writes only
// strings; other tools may put other types into the hive.
constexpr int RegString = 1;
constexpr int RegExpandString = 2;

// Stands for every key while the hive cannot be opened.
constexpr long long LostKey = -1;

std::vector<std::string> SplitKeyPath(const std::string &Path) {
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    while (start <= Path.size()) {
        const auto end = Path.find('\\', start);
        const auto stop = end == std::string::npos ? Path.size() : end;
        if (stop > start) // doubled, leading and trailing backslashes name nothing
            parts.push_back(Path.substr(start, stop - start));
        start = stop + 1;
    }
    return parts;
}

// The subkey Name of Parent; 0 when it does not exist or cannot be read.
long long FindKey(long long Parent, const std::string &Name) {
    TQuery query(THive::FindKeySql);
    query.Bind(1, Parent);
    query.Bind(2, Name);
    return query.Step() == SQLITE_ROW ? query.Integer(0) : 0;
}

long long AddKey(long long Parent, const std::string &Name) {
    TQuery query(THive::AddKeySql);
    query.Bind(1, Parent);
    query.Bind(2, Name);
    if (query.Step() != SQLITE_DONE)
        return 0;
    return sqlite3_last_insert_rowid(THive::Instance().Db());
}

// Walks Parts from Start; with Create it adds the missing keys. 0 on failure.
long long WalkKeys(long long Start, const std::vector<std::string> &Parts, bool Create) {
    long long key = Start;
    for (const auto &part : Parts) {
        long long next = FindKey(key, part);
        if (next == 0 && Create)
            next = AddKey(key, part);
        if (next == 0)
            return 0;
        key = next;
    }
    return key;
}

std::string JoinKeyPath(const std::vector<std::string> &Parts) {
    std::string path;
    for (const auto &part : Parts)
        path += (path.empty() ? "" : "\\") + part;
    return path;
}

void ReadNames(const char *Sql, long long Key, std::vector<std::string> &Names) {
    Names.clear();
    if (Key == LostKey)
        return;
    TQuery query(Sql);
    query.Bind(1, Key);
    while (query.Step() == SQLITE_ROW)
        Names.push_back(query.Text(0));
}

} // namespace

TRegistry::TRegistry() = default;
TRegistry::~TRegistry() = default;

std::string TRegistry::HivePath() {
    return THive::Path();
}

ERegistryException TRegistry::SaveFailure() {
    const std::string &why = THive::Instance().LastError;
    return ERegistryException("Cannot save the settings to " + HivePath() + ": " +
                              (why.empty() ? "it cannot be written" : why) +
                              ". The changes of this session are lost");
}

void TRegistry::CheckHive() {
    THive &hive = THive::Instance();
    hive.Db();
    if (hive.PendingDamageNote.empty())
        return;
    const std::string note = std::move(hive.PendingDamageNote);
    hive.PendingDamageNote.clear();
    throw ERegistryException(note);
}

long long TRegistry::CurrentKey() const {
    if (THive::Instance().Db() == nullptr)
        return LostKey;
    return FCurrentKey == 0 ? THive::RootKey : FCurrentKey;
}

void TRegistry::RestoreKey(const TKeyState &State) {
    FCurrentPath = State.Path;
    FCurrentKey = State.Key;
}

bool TRegistry::OpenKey(const std::string &Key, bool CanCreate) {
    const bool fromHive = !Key.empty() && Key.front() == '\\';
    const long long start = fromHive ? THive::RootKey : CurrentKey();
    if (start == LostKey)
        return false;
    const std::vector<std::string> parts = SplitKeyPath(Key);
    long long key = WalkKeys(start, parts, false);
    if (key == 0 && CanCreate) {
        // Look again under the write lock: another instance may have just
        // created part of the path.
        TRegistryTransaction transaction;
        key = WalkKeys(start, parts, true);
        if (key != 0 && !transaction.Commit())
            key = 0;
    }
    if (key == 0)
        return false;
    const std::string relative = JoinKeyPath(parts);
    const std::string base = fromHive ? std::string() : FCurrentPath;
    FCurrentPath = base.empty() || relative.empty() ? base + relative : base + "\\" + relative;
    FCurrentKey = key;
    return true;
}

void TRegistry::CloseKey() {
    FCurrentPath.clear();
    FCurrentKey = 0;
}

bool TRegistry::ValueExists(const std::string &Name) const {
    const long long key = CurrentKey();
    if (key == LostKey)
        return false;
    TQuery query(THive::ValueTypeSql);
    query.Bind(1, key);
    query.Bind(2, Name);
    return query.Step() == SQLITE_ROW;
}

std::string TRegistry::ReadString(const std::string &Name) const {
    const long long key = CurrentKey();
    if (key == LostKey)
        return "";
    TQuery query(THive::ReadValueSql);
    query.Bind(1, key);
    query.Bind(2, Name);
    if (query.Step() != SQLITE_ROW)
        return "";
    const long long type = query.Integer(0);
    if (type != RegString && type != RegExpandString)
        throw ERegistryException("Invalid data type for '" + Name + "'");
    return query.Text(1);
}

void TRegistry::WriteString(const std::string &Name, const std::string &Value) {
    TRegistryTransaction transaction;
    const long long key = CurrentKey();
    bool written = false;
    if (key != LostKey) {
        TQuery query(THive::WriteValueSql);
        query.Bind(1, key);
        query.Bind(2, Name);
        query.Bind(3, Value);
        written = query.Step() == SQLITE_DONE;
    }
    if (!written || !transaction.Commit())
        throw SaveFailure();
}

void TRegistry::GetKeyNames(std::vector<std::string> &Names) const {
    ReadNames(THive::KeyNamesSql, CurrentKey(), Names);
}

void TRegistry::GetValueNames(std::vector<std::string> &Names) const {
    ReadNames(THive::ValueNamesSql, CurrentKey(), Names);
}
