#include "ui/help_pages.h"

namespace vesk {

namespace {

constexpr std::string_view kViewingResults = R"html(
<h2>Viewing results</h2>
<p>When a search ends, the <b>Matches</b> page lists what it found. Each file with hits has a
heading row (its full path, in bold); below it come the matching lines with their line number,
the text found marked in yellow (each word, for a Google type find). Headings of <i>.pas</i>, <i>.dfm</i> and <i>.txt</i> files
have their own colours. Red rows report a file that could not be read, or one that took longer
than two seconds and was cut off.</p>
<h3>Keys in the results grid</h3>
<table cellpadding="3">
<tr><td><b>Ctrl+F</b></td><td>Find: asks for a text and moves to the next row that holds it
(any case, any column).</td></tr>
<tr><td><b>F3</b></td><td>Find next: the next row below that holds the find text.</td></tr>
<tr><td><b>Shift+F3</b></td><td>Find previous: the same, upwards.</td></tr>
<tr><td><b>Ctrl+N</b></td><td>Next file: the first row of the next file in the list.</td></tr>
<tr><td><b>Ctrl+P</b></td><td>Previous file: the last row of the file before.</td></tr>
<tr><td><b>Ctrl+V</b></td><td>View the current file in the built-in viewer, at the found line.
With "Use Courier(Non-proprtional) font for View Windows" checked the viewer uses a fixed-width
font.</td></tr>
<tr><td><b>Ctrl+W</b></td><td>Show a small window with the lines around the found line.</td></tr>
<tr><td><b>Double click</b></td><td>Open the file of the row at its line: in an editor, the viewer
or the desktop's own program, as the [Viewer] section of the settings file says for the file's
extension (see the Settings page). With "Copy search string to Clipboard" checked the search string
is put on the clipboard, ready for the editor's own find.</td></tr>
</table>
<h3>Other buttons</h3>
<p><b>-</b> and <b>+</b> make the grid's font smaller or larger (the size is shown between them).
<b>View</b> opens the current file in the viewer. <b>Text/Print</b> writes the results as a text
listing, a report, or a tab-delimited or CSV file. <b>Select</b> goes back to the search
options. After a click on a row, resting the mouse on the grid shows that row's file with its date
and size.</p>
)html";

constexpr std::string_view kAdvancedOptions = R"html(
<h2>Advanced options</h2>
<p>Each of the three boxes on the Select page, Folder, FileSpec and String, has a switch beside
it. Off (simple) the box holds one folder, one file mask or one string that you type. On
(advanced) the box turns green and read-only and shows a list instead; click the box to choose its
entries in a window of its own.</p>
<ul>
<li><b>Advanced Folders</b>: up to eleven saved folders; the checked ones are all searched in one
run. Folders that do not exist are left out.</li>
<li><b>Advanced Filespec</b>: up to eleven saved file masks, for example <i>*.cpp</i> and
<i>*.h</i> together.</li>
<li><b>Advanced Strings</b>: up to 200 strings searched at once; a line matches when it holds any
of them. The strings are not saved.</li>
</ul>
<p>With "Switch Advanced using Buttons" unchecked (View etc options) the switches are shown as
check boxes instead of pictures.</p>
<h3>Date options</h3>
<p>"Enable Date Selections for files" keeps only the files last changed between the Start and End
date and time, both included. The dates can be typed (for example 07-Dec-26, 2026-12-07 or
7/12/26) or picked with the <b>&gt;</b> buttons; the times are hh:nn:ss. Selecting by date needs
advanced folders or advanced file masks.</p>
<h3>Replace</h3>
<p>Check "Enable Search/Replace" on the Extra options page to enable the <b>Replace</b> button.
Each replace run asks before changing a line, shows every changed file for review, keeps a backup
copy of each saved file and records it in the replace archive. "Replace On" shows while a replace
run is prepared.</p>
)html";

constexpr std::string_view kSearching = R"html(
<h2>Searching</h2>
<ol>
<li>Type the folder to search in <b>Folder</b> (double-click the box or press <b>Browse</b> to
pick one, <b>Current</b> for the current folder) and check "Search Subfolders" to search the whole
tree.</li>
<li>Type the file mask in <b>FileSpec</b>: <i>*.*</i> for every file, <i>*.pas</i> for one kind.
For several masks at once switch on Advanced Filespec.</li>
<li>Type the text in <b>String</b> and click <b>Search</b>, or press Enter: the focus moves on to
<b>Search</b>, and a second Enter starts it (Enter presses whichever button has the focus).</li>
</ol>
<p>While a search runs, <b>Stop</b> ends it at the next file and the summary says
" (aborted)"; clicking the Select or Matches tab also ends it. The status line shows the files
searched and, at the end, the matched lines, files and time.</p>
<h3>Main options</h3>
<ul>
<li><b>Whole Words Only</b>: the string must stand as a word of its own.</li>
<li><b>Regular Expressions</b>: every search string (each of the multiple strings, each word of
the Google type find) is a regular expression (PCRE2 syntax; a byte is a character, a match never
spans a line break, an empty match is no match). When replacing, the replacement may use $0 (the
match), $1 to $9 (its groups) and $$ (a dollar sign).</li>
<li><b>Match text in UPPER And lower case</b>: case-insensitive (the default).</li>
<li><b>Google Type Find</b>: lists lines holding all words of the string, in any order.</li>
<li><b>Search Filename too</b>: a file whose path holds the string gets a heading row even when
no line matches.</li>
<li><b>List All Filenames searched</b>: a heading row for every file searched.</li>
<li><b>Omit binary files, hidden folders, __history etc</b>: leaves out build output (.dcu, .exe,
.dll, .map), backups (.bak, ~), binary files and folders whose names begin with ".".</li>
<li><b>Omit Vesk Search/Replace files</b>: leaves out the backup and temporary copies made by
replace runs.</li>
<li><b>Faster</b>: the grid is hidden while the search runs and the status is updated once a
second.</li>
</ul>
<p>When the boxes are changed after a search, the status line turns grey: the results shown no
longer match the boxes.</p>
)html";

constexpr std::string_view kSettings = R"html(
<h2>Settings</h2>
<p>The settings live in the INI file <i>vesk.INI</i> in <i>$XDG_CONFIG_HOME/vesk</i>
(<i>~/.config/vesk</i>). The replace archive <i>VeskSearchReplaceArchive.jarc</i>, the run log and
the other logs are kept in <i>$XDG_STATE_HOME/vesk</i> (<i>~/.local/state/vesk</i>). Both folders
are made when missing; the environment variable <b>VESK_HOME</b>, when it names a folder, takes the
place of both. The program's own folder is never written. After this page the program offers to save the
current switches and folders, then opens the file in your editor, whatever you answer. Keys you add
by hand are kept by every save.</p>
<h3>[Settings]</h3>
<table cellpadding="3">
<tr><td><b>SimpleOrAdvancedFolders</b>, <b>SimpleOrAdvancedFileSpec</b>,
<b>SimpleOrAdvancedStrings</b></td><td>1 simple, 2 advanced: how the three switches start.</td></tr>
<tr><td><b>RegularExpressions</b></td><td>1: the "Regular Expressions" box starts checked.</td></tr>
<tr><td><b>DifferencesViewer</b></td><td>The program that shows the differences between a file and
its replaced copy, for example <i>/usr/bin/meld</i>; <i>none</i> for no viewer. Without a settings
file <i>/usr/bin/meld</i> is used when present.</td></tr>
</table>
<h3>[Viewer]</h3>
<p>One key per file extension, without the dot (for example <i>pas=Viewer</i> or
<i>txt=Notepad.exe</i>), says how a double-clicked result opens:</p>
<ul>
<li><b>ASK</b> (the default): ask each time;</li>
<li><b>Viewer</b>: the built-in viewer;</li>
<li><b>Windows</b>: the desktop's own program for the file;</li>
<li>a program name or full path: that program, with the file.
<i>Notepad.exe</i> (or an empty value) stands for your text editor: <b>VESK_EDITOR</b> when set,
else the first of gnome-text-editor, gedit, kate, mousepad, xed, pluma and geany that is
installed.</li>
</ul>
<p>These editors, recognised by their program name, open the file at the found line and column:
kate, kwrite, gedit, gnome-text-editor, code (VS Code), codium, geany, vim, nvim, gvim, emacs,
emacsclient, subl (Sublime Text), mousepad, nano and micro; xed and pluma at the line only.
Programs named like EditPlus or Notepad++ get their own line and column arguments. Any other
program, and xdg-open, gets the file alone.</p>
<h3>[Folders] and [Filespec]</h3>
<p><b>SavedFolder0</b> to <b>SavedFolder10</b> with <b>SavedFolderSelected0</b> to
<b>SavedFolderSelected10</b> (1 checked, 0 not), and <b>SavedFilespec0</b> to
<b>SavedFilespec10</b> with <b>SavedFilespecSelected0</b> to <b>SavedFilespecSelected10</b>: the
advanced folder and file-mask lists. Their windows save them with "Save These ... as Default
set".</p>
<h3>[Testing]</h3>
<p><b>ReplaceExtraInfo</b>=1 shows extra diagnostics while replacing.</p>
<h3>Ostrel.INI</h3>
<p>A file <i>Ostrel.INI</i> in the current folder may name, under [Settings], the program that
opens printed reports: <b>EditFile</b> (default <i>Notepad.exe</i>).</p>
)html";

} // namespace

const std::array<HelpPage, 4>& helpPages() {
    static const std::array<HelpPage, 4> pages{{
        {"Viewing results", kViewingResults},
        {"Advanced options", kAdvancedOptions},
        {"Searching", kSearching},
        {"Settings", kSettings},
    }};
    return pages;
}

} // namespace vesk
