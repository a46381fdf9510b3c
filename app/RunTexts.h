#pragma once

#include "TCompareRequest.h"

#include <QString>
#include <utility>

#include <string>

// The report window's title with no run in it: "Compare Report", followed
// by " [NAME]" while the named configuration NAME is in use (KeyPath is the
// root key path of the configuration, SettingsRootKey's).
QString ReportTitle(const std::string &KeyPath);

// ReportTitle followed by " - LABEL1 : LABEL2": the window's title for the
// run of Request, naming the files by the labels of its report.
QString RunTitle(const TCompareRequest &Request, const std::string &KeyPath);

// "Configuration NAME loaded; changes now go to NAME" (Done "loaded") or
// "... saved; ..." (Done "saved"): the status after the configuration of
// KeyPath was loaded or saved, which from then on takes every change.
QString ConfigurationStatus(const std::string &KeyPath, const char *Done);

// The labels of Request's two files as its report shows them; "A File" and
// "Other File" without a request.
std::pair<QString, QString> RunFileLabels(const TCompareRequest *Request);

// One line "Cannot read file NAME: REASON" for each file of the run that
// could not be read, or why its pattern could not be used (then nothing was
// read); empty when both were read.
QString LoadErrorsText(const TCompareRequest &Request, const TCompareOutcome &Outcome);
