#include "results/report_viewer.h"

#include "settings/settings.h"

namespace vesk {

std::string ReadReportViewer(std::string_view sharedSettings) {
    return ReadSharedSetting(sharedSettings, kViewerKey, kDefaultReportViewer);
}

} // namespace vesk
