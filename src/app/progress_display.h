// What the main window shows of a running backup: the bar's value and the
// line of figures under it.
#pragma once

#include "backup/backup_run.h"

#include <string>

namespace app {

// "12 of 960 files, 3 MB of 240 MB; 0:02 elapsed, about 0:09 left.", or
// "Backing up, 0:02 elapsed." while nothing is measured.
std::string ProgressText(const backup::Progress& progress, const std::string& thousandsSeparator);
// The bar's value, 0 to ProgressBar::kFull; meaningful only when measured.
int ProgressBarValue(const backup::Progress& progress);

}  // namespace app
