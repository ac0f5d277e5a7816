#include "ui/replace_controller.h"

#include "ui/frm_vesk_replace.h"
#include "ui/frm_vesk_replace_results.h"

namespace vesk {

ReplaceController::ReplaceController(TfrmVeskReplace& dialog, TfrmVeskReplaceResults& results,
                                     ReplaceLinks links)
    : dialog_(dialog), results_(results) {
    dialog_.setLinks(links);
    results_.setLinks(std::move(links));
}

void ReplaceController::applyOptions(FileOptions& options) const {
    const ReplaceRunOptions& r = dialog_.runOptions();
    options.ConfirmEachFile = r.ConfirmEachFile;
    options.ConfirmEachLine = r.ConfirmEachLine;
    options.PreserveSpaces = r.PreserveSpaces;
    options.LinesWithNoMatchesOnly = r.LinesWithNoMatchesOnly;
    options.FilesWithNoMatch = r.FilesWithNoMatch;
}

ReviewOutcome ReplaceController::reviewFile(const ReviewRequest& request) {
    return results_.ReviewFile(request);
}

} // namespace vesk
