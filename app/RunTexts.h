#pragma once

#include "TCompareRequest.h"

#include <QString>
#include <utility>

// "Compare Report - LABEL1 : LABEL2": the window's title for the run of
// Request, naming the files by the labels of its report.
QString RunTitle(const TCompareRequest &Request);

// The labels of Request's two files as its report shows them; "A File" and
// "Other File" without a request.
std::pair<QString, QString> RunFileLabels(const TCompareRequest *Request);

// One line "Cannot read file NAME: REASON" for each file of the run that
// could not be read, or why its pattern could not be used (then nothing was
// read); empty when both were read.
QString LoadErrorsText(const TCompareRequest &Request, const TCompareOutcome &Outcome);
