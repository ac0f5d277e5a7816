#pragma once
// The replace feature as the main window uses it: links both replace windows to the main
// window's state, gives each run the options the replace dialog set, and hands each file with
// hits to the review. The main window owns one and calls it from readOptions() and reviewFile().

#include "search/search_host.h"
#include "search/search_options.h"
#include "ui/replace_links.h"

namespace vesk {

class TfrmVeskReplace;
class TfrmVeskReplaceResults;

class ReplaceController {
public:
    ReplaceController(TfrmVeskReplace& dialog, TfrmVeskReplaceResults& results, ReplaceLinks links);

    // The replace dialog's options for the run (confirmations, preserve spaces, the two
    // "no matches" listings).
    void applyOptions(FileOptions& options) const;
    // SearchHost::reviewFile of the main window.
    ReviewOutcome reviewFile(const ReviewRequest& request);

private:
    TfrmVeskReplace& dialog_;
    TfrmVeskReplaceResults& results_;
};

} // namespace vesk
