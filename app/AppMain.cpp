#include "AppMain.h"

#include "SettingsRootKey.h"
#include "TRegistry.h"
#include "UCompareReport.h"

#include <memory>

int RunApplication(const std::vector<std::string> &Arguments) {
    const std::string rootKey = SettingsRootKey(Arguments, 1);
    auto report = std::make_unique<TCompareReport>(nullptr, rootKey);
    // The store moved a damaged hive aside while the windows opened it.
    RunGuarded(nullptr, [] { TRegistry::CheckHive(); });
    ShowModal(report.get());
    report.reset();
    return 0;
}
