#include "main_window/window_rules.h"

#include <algorithm>

#include "lib/text.h"

namespace vesk {

PhaseLook phaseLook(int phase) {
    PhaseLook look;
    switch (phase) {
    case kPhaseSearching:
        look.stopVisible = true;
        look.page = 1;
        look.searching = true;
        break;
    case kPhaseViewing:
        look.selectVisible = true;
        look.viewButtonsVisible = true;
        look.fontButtonsVisible = true;
        look.page = 1;
        break;
    default:
        look.goVisible = true;
        look.viewButtonsVisible = true;
        break;
    }
    return look;
}

std::string captionText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool inBreak = false;
    for (char c : text) {
        const bool lineBreak = c == '\r' || c == '\n';
        if (lineBreak && !inBreak) out += ' ';
        if (!lineBreak) out += c;
        inBreak = lineBreak;
    }
    return trim(out);
}

std::string phaseCaption(int phase, std::string_view searchText, bool replaceOn) {
    std::string caption(kWindowCaption);
    const std::string shown = captionText(searchText);
    if (phase == kPhaseSearching) {
        if (replaceOn) caption += " - Replace";
        if (!shown.empty()) caption += " - " + shown;
    } else if (phase == kPhaseViewing && !shown.empty()) {
        caption += " - " + shown;
    }
    return caption;
}

std::string notSearchedStatus(std::string_view failure) {
    std::string status = "(Not searched)";
    const std::string why = captionText(failure);
    if (!why.empty()) status += " " + why;
    return status;
}

WindowPlace startPlace(const WindowPlace& work, int clientWidth, int clientHeight,
                       const FrameMargins& frame) {
    const int extraWidth = frame.left + frame.right;
    const int extraHeight = frame.top + frame.bottom;
    WindowPlace place;
    place.width = std::max(1, std::min(clientWidth, work.width - extraWidth));
    place.height = std::max(1, std::min(clientHeight, work.height - extraHeight));
    place.x = work.x + std::max(0, (work.width - place.width - extraWidth) / 2) + frame.left;
    place.y = work.y + std::max(0, (work.height - place.height - extraHeight) / 2) + frame.top;
    return place;
}

SwitchLook switchLook(int mode) {
    SwitchLook look;
    if (mode == 2) {
        look.boxColour = kTintGreen;
        look.bold = true;
        look.readOnly = true;
        look.onPicture = true;
        look.labelColour = kTintGreen;
    } else {
        look.boxColour = kTintNavy;
        look.labelColour = kTintGrey;
        look.clearCount = true;
    }
    return look;
}

int toggledMode(int mode) {
    return mode == 2 ? 1 : 2;
}

std::string keepFirstItem(std::string_view text) {
    if (trimView(text).empty()) return {};
    const std::size_t comma = text.find(',');
    return std::string(comma == std::string_view::npos ? text : text.substr(0, comma));
}

StatusMark markStatus(int kind, const BoxTexts& entered, const BoxTexts& now) {
    if (kind == 1) return entered == now ? StatusMark::Unchanged : StatusMark::Stale;
    if (kind == 2) return StatusMark::Current;
    return StatusMark::Unchanged;
}

Tint statusColour(StatusMark mark) {
    return mark == StatusMark::Stale ? kTintGrey : kTintNavy;
}

StartFolder chooseStartFolder(std::string_view boxText, std::string_view savedFolder0,
                              std::string_view programFolder) {
    StartFolder out;
    out.folder = trim(boxText);
    if (out.folder.empty()) out.folder = trim(savedFolder0);
    if (out.folder.empty()) out.folder = std::string(programFolder);
    out.setSavedFolder0 = trimView(savedFolder0).empty();
    return out;
}

std::string doubleClickStartFolder(std::string_view currentFolder, std::string_view boxText,
                                   std::string_view savedFolder0, std::string_view programFolder,
                                   const std::function<bool(const std::string&)>& folderExists) {
    std::string folder = trim(currentFolder);
    if (folder.empty()) folder = trim(boxText);
    if (folder.empty()) folder = trim(savedFolder0);
    if (folder.empty() || !folderExists(folder)) folder = std::string(programFolder);
    return folder;
}

VerticalGeometry verticalResize(bool expanded, int workTop, int workHeight, int normalTop,
                                int normalHeight) {
    if (!expanded) return {workTop, workHeight, true, std::string(kShrinkHint)};
    return {normalTop, normalHeight, false, std::string(kExpandHint)};
}

} // namespace vesk
