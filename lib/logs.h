#pragma once
// The run log "Ostrelrun.log" (restarted each day), named logs with their periods, and
// the one-line writes both use. The log folder is the channel layer's log-folder setting when it
// names an existing folder, else the program folder (lib/program_folder.h).
//
// Errors of the file system (a read-only log, a full disk) are thrown as std::system_error, so the
// caller hears of them; the channel routines do not catch them.

#include <string>
#include <string_view>

#include "lib/channels.h"
#include "lib/clock.h"

namespace vesk {

inline constexpr std::string_view kRunLogName = "Ostrelrun.log";

// Periods of xcNamedLog: the log is appended to while the part of the time stamp compared with
// its first line is equal, and started again otherwise.
enum LogPeriod : int {
    kLogPerDay = 1,    // the first 9 characters, "dd-mmm-yy"
    kLogPerMonth = 2,  // characters 4 to 9, "mmm-yy"
    kLogPerYear = 3,   // characters 8 and 9, "yy"
    kLogPerHour = 4,   // the first 12 characters, "dd-mmm-yy hh"
    kLogPerMinute = 5, // the first 15 characters, "dd-mmm-yy hh:nn"
};

// The folder the logs go to, ending in "/".
std::string logFolder(const ChannelTable& channels);
// The executable's file name the log lines carry (the table's override when set).
std::string logExecutableName(const ChannelTable& channels);
// A name without its extension as the log lines want it: a name longer than 4 characters whose
// fourth character from the end is "." loses its last 4 characters ("vesk.exe" -> "vesk").
std::string nameWithoutExtension(std::string_view name);
// The run log's full path: logFolder + "Ostrelrun.log".
std::string runLogPath(const ChannelTable& channels);
// The file a named log writes to (see xcNamedLog).
std::string namedLogPath(const ChannelTable& channels, std::string_view logName);

// xcReadFirstLine: empty when the file does not exist or is empty; otherwise the file is read on
// the log channel 21 (closing whatever that channel held) and the characters before the first CR
// or LF of the first line are returned.
std::string xcReadFirstLine(ChannelTable& channels, std::string_view fileName);

// xcRunLog: appends "dd-mmm-yy hh:nn:ss NAME message" to the run log; the first entry of a day
// (the first 9 characters of the file's first line differ from today's date) empties the file.
void xcRunLog(ChannelTable& channels, const Clock& clock, std::string_view message);

// xcNamedLog: appends "dd-mmm-yy hh:nn:ss NAME message" to the log `logName` in the log folder (a
// blank name: the executable's name with extension ".Log"; a name whose folder part is an existing
// folder: used unchanged), restarting it when `period` (LogPeriod) says the stamp changed. Any
// other period value restarts the log on every line.
void xcNamedLog(ChannelTable& channels, const Clock& clock, std::string_view logName, int period,
                std::string_view message);

// xcAppendLogLine: writes one CR LF-ended line. Mode "A" is kept only when the file exists, is not
// empty and `mode` is not "O"; otherwise the file is created or emptied. A line of more than 5000
// characters is written whole; a shorter one as xcWriteChannel writes it.
void xcAppendLogLine(std::string_view mode, std::string_view fileName, std::string_view line);

// The time stamp comparison of xcNamedLog: true when `newLine` and `firstLine` agree in the part
// `period` names (false for an unknown period).
bool samePeriod(int period, std::string_view newLine, std::string_view firstLine);

} // namespace vesk
