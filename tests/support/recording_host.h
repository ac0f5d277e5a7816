#pragma once
// A SearchHost that records what a run shows, for tests of the run and of its front ends.

#include <functional>
#include <string>
#include <vector>

#include "lib/string_grid.h"
#include "search/search_host.h"
#include "tests/support/fakes.h"

namespace vesk::test {

class RecordingHost : public SearchHost {
public:
    SearchOptions options;
    StringGrid grid_{4, 1};
    ScriptedDialogs dialogs_;
    FakeClock clock_;
    std::vector<std::string> statusTexts, progressTexts, events;
    std::function<void()> onProcessEvents;
    std::function<void()> onBetweenFiles;
    std::function<bool(TNarvFindFiles&)> onDateSelection;
    int phase = 1;

    SearchOptions readOptions() override { return options; }
    StringGrid& grid() override { return grid_; }
    Dialogs& dialogs() override { return dialogs_; }
    const Clock& clock() override { return clock_; }
    void setStatusText(std::string_view t) override { statusTexts.emplace_back(t); }
    void setProgressText(std::string_view t) override { progressTexts.emplace_back(t); }
    void markStatus(int m) override { events.push_back("mark " + std::to_string(m)); }
    void processEvents() override {
        if (onProcessEvents) onProcessEvents();
    }
    void betweenFiles() override {
        if (onBetweenFiles) onBetweenFiles();
    }
    void focusStringBox() override { events.emplace_back("focus string"); }
    void focusGrid() override { events.emplace_back("focus grid"); }
    void fitResultColumns() override {}
    void resetSpeedDisplay() override {}
    void setGridDisplay(bool on) override { grid_.setVisible(on); }
    void setRunColumnWidth() override {}
    void setLoadMethod(LoadMethod m) override { options.loadMethod = m; }
    void showPhase(int p) override {
        phase = p;
        events.push_back("phase " + std::to_string(p));
        if (p == 3) {
            grid_.setVisible(true);
            options.ReplaceOn = false;
        }
    }
    void setReplaceIndicator(int mode) override {
        if (mode == 1) options.ReplaceOn = false;
        if (mode == 2) options.ReplaceOn = true;
    }
    bool applyDateSelection(TNarvFindFiles& scanner) override {
        return onDateSelection ? onDateSelection(scanner) : true;
    }

    // Every row as "c0|c1|c2|c3".
    std::vector<std::string> rows() const {
        std::vector<std::string> out;
        for (int r = 0; r < grid_.rowCount(); ++r) {
            std::string s;
            for (int c = 0; c < 4; ++c)
                (s += c ? "|" : "") += std::string(grid_.cell(c, r));
            out.push_back(s);
        }
        return out;
    }
};

} // namespace vesk::test
