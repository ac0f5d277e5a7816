#pragma once
// TNarvFindFiles: lists several folders with several masks, can select files by last-write time,
// leave hidden folders out, report progress at most once per interval and be stopped.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "lib/clock.h"
#include "search/file_mask.h"
#include "search/find_file.h"

namespace vesk {

class TNarvFindFiles {
public:
    explicit TNarvFindFiles(const Clock& clock) : clock_(clock) {}

    TFileAttr FileAttr{TFileAttrKind::ffaAnyFile};
    bool InSubFolders = false;
    std::vector<std::string> Paths;
    bool Sorted = false;
    std::string Version() const { return "2.0"; }
    bool SelectOnDates = false;
    DateValue SelectStartDate = 0;
    DateValue SelectEndDate = 0;
    bool SearchHistory = true; // false: hidden folders are not entered
    bool ContinueScan = false;
    DateValue ProgressInterval = kOneSecond;

    // Called with FirstCount, SecondCount and the entries listed so far, at most once per interval.
    std::function<void(std::uint64_t, std::uint64_t, std::uint64_t)> OnScanProgress;
    // Lets the window handle pending events (this is where a Stop arrives).
    std::function<void()> ProcessEvents;
    // Called after each folder's files are added to the list (the list only grows during a scan).
    std::function<void()> OnFolderListed;

    // Copies the masks; throws InvalidMaskError for a mask that cannot be compiled.
    void setFileMask(const std::vector<std::string>& masks);
    const std::vector<std::string>& FileMask() const { return maskTexts_; }
    bool MatchesFileMask(std::string_view name) const { return matchesAnyMask(masks_, name); }

    // Lists every root of Paths; the list stays valid until the next Scan.
    const std::vector<std::string>& Scan();
    const std::vector<std::string>& list() const { return list_; }
    std::uint64_t FirstCount() const { return first_; }
    std::uint64_t SecondCount() const { return second_; }

private:
    void scanFolder(const std::string& folder);
    void progress();

    const Clock& clock_;
    std::vector<std::string> maskTexts_;
    std::vector<vesk::FileMask> masks_;
    std::vector<std::string> list_;
    std::uint64_t first_ = 0, second_ = 0;
    DateValue nextProgress_ = 0;
};

} // namespace vesk
