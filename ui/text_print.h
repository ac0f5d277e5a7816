#pragma once
// "Text/Print" on the main window (btnPrintClick): the report values taken from what the window
// shows, then "Text Output Options" over the results grid.

#include "results/text_report.h"

namespace vesk {

class TfrmVesk1;

// The last run's heading texts, the folder count, the mask and string boxes and the status line.
ReportSource reportSourceOf(TfrmVesk1& window);

// Prepares new report values and shows the window modally.
void btnPrintClick(TfrmVesk1& window);

} // namespace vesk
