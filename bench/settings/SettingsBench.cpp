// Times a save of every window's settings (about a hundred values) through
// the store, and the same number of plain SQLite upserts under the journal
// settings the store could use, so the store's choice can be checked.
// Runs in a temporary folder; never touches the real settings.
#include "TMyIniFile.h"
#include "TRegistryTransaction.h"

#include <QApplication>
#include <QFont>
#include <QListWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace {

constexpr int Repetitions = 31;
constexpr double TargetMs = 50.0;
const std::string Root = "Brackwater Software\\Tarnwells";

double MedianMs(const std::function<void()> &Run) {
    Run(); // warm up: creates keys, files and caches
    std::vector<double> times;
    for (int i = 0; i < Repetitions; ++i) {
        const auto start = std::chrono::steady_clock::now();
        Run();
        const auto stop = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
    }
    std::nth_element(times.begin(), times.begin() + Repetitions / 2, times.end());
    return times[Repetitions / 2];
}

// What closing the program writes: three windows' placements and options,
// four file-name histories of ten names and the report font.
int SaveAllWindows(TMyIniFile &Store, int Round, const QListWidget &History) {
    int values = 0;
    for (const char *window : {"Compare\\Report", "Compare\\Dialog", "Compare\\Wizard"}) {
        for (const char *name : {"Left", "Top", "Width", "Height", "State"}) {
            Store.WriteInteger(window, name, Round + values);
            ++values;
        }
        for (int i = 1; i <= 4; ++i, ++values)
            Store.WriteBool(window, "CheckBox-" + std::to_string(i), (Round + i) % 2 == 0);
        for (int i = 1; i <= 2; ++i, ++values)
            Store.WriteString(window, "Edit-" + std::to_string(i),
                              "/home/someone/projects/file" + std::to_string(Round) + ".txt");
    }
    for (const char *history : {"History-1", "History-2"}) {
        Store.WriteListBox("Compare\\Dialog", history, const_cast<QListWidget *>(&History));
        Store.WriteListBox("Compare\\Wizard", history, const_cast<QListWidget *>(&History));
        values += 4 * (History.count() + 1);
    }
    QFont font("DejaVu Sans Mono", 10 + Round % 3);
    Store.WriteFont("Compare\\Report", "Font-1", font);
    return values + 6;
}

void LoadAllWindows(TMyIniFile &Store, QListWidget &History) {
    for (const char *window : {"Compare\\Report", "Compare\\Dialog", "Compare\\Wizard"}) {
        for (const char *name : {"Left", "Top", "Width", "Height", "State"})
            Store.ReadInteger(window, name, 0);
        for (int i = 1; i <= 4; ++i)
            Store.ReadBool(window, "CheckBox-" + std::to_string(i), false);
        for (int i = 1; i <= 2; ++i)
            Store.ReadString(window, "Edit-" + std::to_string(i), "");
    }
    for (const char *history : {"History-1", "History-2"}) {
        Store.ReadListBox("Compare\\Dialog", history, &History);
        Store.ReadListBox("Compare\\Wizard", history, &History);
    }
    QFont font;
    Store.ReadFont("Compare\\Report", "Font-1", font);
}

// The same number of upserts on a bare table, in one transaction when
// Batched, else each committed on its own.
double RawSaveMs(const std::string &Path, const char *Journal, const char *Sync, int Values,
                 bool Batched) {
    sqlite3 *db = nullptr;
    sqlite3_open(Path.c_str(), &db);
    sqlite3_exec(db, (std::string("PRAGMA journal_mode=") + Journal).c_str(), nullptr, nullptr,
                 nullptr);
    sqlite3_exec(db, (std::string("PRAGMA synchronous=") + Sync).c_str(), nullptr, nullptr,
                 nullptr);
    sqlite3_exec(db,
                 "CREATE TABLE IF NOT EXISTS vals(key INTEGER, name TEXT COLLATE NOCASE,"
                 " data BLOB, PRIMARY KEY(key, name)) WITHOUT ROWID",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt *upsert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO vals VALUES(1, ?1, ?2)"
                       " ON CONFLICT(key, name) DO UPDATE SET data = excluded.data",
                       -1, &upsert, nullptr);
    int round = 0;
    const double ms = MedianMs([&] {
        ++round;
        if (Batched)
            sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        for (int i = 0; i < Values; ++i) {
            const std::string name = "Value" + std::to_string(i);
            const std::string data = std::to_string(round);
            sqlite3_bind_text(upsert, 1, name.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(upsert, 2, data.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_step(upsert);
            sqlite3_reset(upsert);
        }
        if (Batched)
            sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    });
    sqlite3_finalize(upsert);
    sqlite3_close(db);
    return ms;
}

} // namespace

int main(int argc, char **argv) {
    std::string folder =
        (std::filesystem::temp_directory_path() / "tarnwell-bench-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr)
        return 1;
    setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (folder + "/data").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);

    QListWidget history;
    for (int i = 0; i < 10; ++i)
        history.addItem(QString("/home/someone/projects/report-%1.txt").arg(i));
    int values = 0;
    int round = 0;
    double save = 0;
    double unbatched = 0;
    double load = 0;
    {
        TMyIniFile store(Root);
        save = MedianMs([&] {
            TRegistryTransaction transaction;
            values = SaveAllWindows(store, ++round, history);
        });
        unbatched = MedianMs([&] { SaveAllWindows(store, ++round, history); });
        load = MedianMs([&] { LoadAllWindows(store, history); });
    }
    const double rollbackFull =
        RawSaveMs(folder + "/rollback.sqlite3", "DELETE", "FULL", values, true);
    const double walNormal =
        RawSaveMs(folder + "/wal-normal.sqlite3", "WAL", "NORMAL", values, true);
    const double walFull = RawSaveMs(folder + "/wal-full.sqlite3", "WAL", "FULL", values, true);
    const double rollbackFullEach =
        RawSaveMs(folder + "/rollback-each.sqlite3", "DELETE", "FULL", values, false);
    const double walNormalEach =
        RawSaveMs(folder + "/wal-normal-each.sqlite3", "WAL", "NORMAL", values, false);
    std::filesystem::remove_all(folder);

    std::printf("median of %d runs, %d values a save\n", Repetitions, values);
    std::printf("%-50s %9s %8s\n", "case", "ms", "x ref");
    const auto row = [&](const char *name, double ms) {
        std::printf("%-50s %9.3f %8.2f\n", name, ms, ms / walNormal);
    };
    row("store: save all windows, one transaction", save);
    row("store: save all windows, no outer transaction", unbatched);
    row("store: load all windows", load);
    row("sqlite: rollback journal, FULL sync", rollbackFull);
    row("sqlite: WAL, NORMAL sync (reference)", walNormal);
    row("sqlite: WAL, FULL sync", walFull);
    row("sqlite: rollback journal, FULL, commit per value", rollbackFullEach);
    row("sqlite: WAL, NORMAL, commit per value", walNormalEach);
    std::printf("save target %.0f ms: %s\n", TargetMs, save <= TargetMs ? "met" : "MISSED");
    return save <= TargetMs ? 0 : 1;
}
