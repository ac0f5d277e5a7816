#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>
#include <vector>

#include "lib/channels.h"
#include "lib/commands.h"
#include "lib/datetime.h"
#include "results/output_file.h"
#include "results/print_file.h"
#include "results/tab_export.h"
#include "results/text_listing.h"
#include "results/text_output.h"
#include "tests/support/fakes.h"
#include "tests/support/temp_tree.h"

using namespace vesk;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using vesk::test::readFile;
using vesk::test::TempTree;

namespace {

using Row = std::array<std::string, 4>;

// A grid as the results grid is designed: columns 2 and 3 hidden by width 0.
void fill(StringGrid& grid, const std::vector<Row>& rows,
          std::array<int, 4> widths = {44, 744, 0, 0}) {
    grid.setRowCount(static_cast<int>(rows.size()));
    for (int c = 0; c < 4; ++c)
        grid.setColWidth(c, widths[static_cast<std::size_t>(c)]);
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        for (int c = 0; c < 4; ++c)
            grid.setCell(c, r, rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]);
}

std::string numberedLines(int n) {
    std::string text;
    for (int i = 1; i <= n; ++i)
        text += "L" + std::to_string(i) + "\r\n";
    return text;
}

std::vector<std::string> lines(std::string_view text) {
    std::vector<std::string> out;
    for (std::string_view l : splitTextLines(text))
        out.emplace_back(l);
    return out;
}

// Runs a command and returns its standard output.
std::string run(const std::string& command, int* status = nullptr) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        out.append(buf, n);
    const int st = pclose(p);
    if (status) *status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return out;
}

// Enters a folder for one test, so the shared settings file is looked up there.
class CurrentFolder {
public:
    explicit CurrentFolder(const std::string& folder) : saved_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~CurrentFolder() { std::filesystem::current_path(saved_); }

private:
    std::filesystem::path saved_;
};

const DateValue kPrinted = encodeDate(2026, 3, 5) + encodeTime(14, 7, 9);

} // namespace

TEST(GridListing, LinesUpTheShownColumnsAndPadsLineNumbers) {
    StringGrid g;
    fill(g, {{"", "/src/a.pas", "/src/a.pas", ""},
             {"7", "  x := 1;  \t ", "/src/a.pas", "3"},
             {"1234", "y", "/src/a.pas", "1"},
             {"-1", "Searching File too slow", "/src/b.pas", ""}});
    EXPECT_EQ(gridListingText(g, "Head\r\nTwo\r\n"), "Head\r\nTwo\r\n\r\n\r\n"
                                                     "     /src/a.pas\r\n"
                                                     "7      x := 1;\r\n"
                                                     "1234 y\r\n"
                                                     "-1   Searching File too slow\r\n");
}

TEST(GridListing, LastColumnHoldingTextIsNotPadded) {
    struct Case {
        const char* name;
        std::vector<Row> rows;
        std::array<int, 4> widths;
        std::string body;
    };
    const Case cases[] = {
        {"TextColumnEmpty",
         {{"12", "", "f", ""}, {"3  ", "", "", ""}},
         {44, 744, 0, 0},
         "12\r\n3\r\n"},
        {"BlankCellStillCounts",
         {{"12", "  ", "", ""}, {"3", "", "", ""}},
         {44, 744, 0, 0},
         "12 \r\n3  \r\n"},
        {"WidthOneIsHidden", {{"1", "a", "f", "9"}}, {44, 744, 1, 1}, "1 a\r\n"},
        {"ColumnsAfterTheLastAreTrimmed",
         {{"1", "ab", "", "x "}, {"22", "c", "", ""}},
         {44, 744, 30, 0},
         "1  ab\r\n22 c\r\n"},
    };
    for (const Case& c : cases) {
        StringGrid g;
        fill(g, c.rows, c.widths);
        EXPECT_EQ(gridListingText(g, "H"), "H\r\n\r\n" + c.body) << c.name;
    }
}

TEST(GridListing, FileIsReplacedAndErrorsNameTheFile) {
    TempTree t;
    StringGrid g;
    fill(g, {{"1", "x", "", ""}});
    const std::string name = t.write("Vesk-1.txt", std::string(500, 'z'));
    xcGridToText(g, name, "H");
    EXPECT_EQ(readFile(name), "H\r\n\r\n1 x\r\n");
    try {
        xcGridToText(g, t.path("missing/Vesk-1.txt"), "H");
        FAIL() << "no error";
    } catch (const std::system_error& e) {
        EXPECT_THAT(e.what(), HasSubstr(t.path("missing/Vesk-1.txt") + ": No such file"));
    }
}

TEST(PagedReport, A56LinePageHeaderBeforeEveryPage) {
    const std::string header1 = "Ostrel /tmp/Vesk-1.txt Printed 05-Mar-26 14:07:09 Page 1";
    EXPECT_EQ(reportPageHeader("/tmp/Vesk-1.txt", kPrinted, 1), header1);
    EXPECT_EQ(pagedReportText("", "/tmp/Vesk-1.txt", kPrinted), "");

    struct Case {
        int lines;
        std::vector<int> headersBefore; // listing line numbers a header precedes
    };
    for (const Case& c :
         {Case{1, {1}}, Case{56, {1}}, Case{57, {1, 57}}, Case{113, {1, 57, 113}}}) {
        const std::vector<std::string> out =
            lines(pagedReportText(numberedLines(c.lines), "/tmp/Vesk-1.txt", kPrinted));
        ASSERT_EQ(out.size(), static_cast<std::size_t>(c.lines) + c.headersBefore.size())
            << c.lines;
        for (std::size_t p = 0; p < c.headersBefore.size(); ++p) {
            const std::size_t at = static_cast<std::size_t>(c.headersBefore[p] - 1) + p;
            EXPECT_EQ(out[at],
                      reportPageHeader("/tmp/Vesk-1.txt", kPrinted, static_cast<int>(p) + 1));
            EXPECT_EQ(out[at + 1], "L" + std::to_string(c.headersBefore[p])) << c.lines;
        }
    }
}

TEST(PagedReport, LineBreaksOfAnyKindBecomeCrLf) {
    EXPECT_EQ(pagedReportText("a\nb\rc\r\n\r\nd", "F", kPrinted),
              reportPageHeader("F", kPrinted, 1) + "\r\na\r\nb\r\nc\r\n\r\nd\r\n");
}

TEST(PagedReport, NamesOfReportAndViewer) {
    EXPECT_EQ(reportFileNameFor("/tmp/Vesk-1.txt", "/tmp/"), "/tmp/Report-Vesk-1.txt");
    EXPECT_EQ(reportFileNameFor("/tmp/my-REPort.txt", "/tmp/"), "/tmp/my-REPort.txt");
    // A folder holding "rep" does not make the listing count as a report.
    EXPECT_EQ(reportFileNameFor("/tmp/prep/Vesk-1.txt", "/tmp/prep/"),
              "/tmp/prep/Report-Vesk-1.txt");

    EXPECT_EQ(viewerDisplayName("Notepad.exe"), "Notepad");
    EXPECT_EQ(viewerDisplayName("/opt/NOTEPAD.EXE"), "NOTEPAD");
    EXPECT_EQ(viewerDisplayName("/usr/bin/gedit"), "/usr/bin/gedit");
}

TEST(TabExport, FileNamesAndFields) {
    EXPECT_EQ(tabExportFileName("/tmp/Vesk-260305-140709.txt", false),
              "/tmp/Vesk-260305-140709-SS-Tab.txt");
    EXPECT_EQ(tabExportFileName("/tmp/Vesk-260305-140709.txt", true),
              "/tmp/Vesk-260305-140709.csv");

    for (auto [in, csv, tsv] :
         std::vector<std::array<std::string, 3>>{{"plain text", "plain text", "plain text"},
                                                 {"a,b", "\"a,b\"", "a,b"},
                                                 {"say \"hi\"", "\"say \"\"hi\"\"\"", "say \"hi\""},
                                                 {"a\tb", "\"a\tb\"", "a b"},
                                                 {"a\r\nb", "\"a\r\nb\"", "a  b"},
                                                 {"", "", ""}}) {
        EXPECT_EQ(csvField(in), csv) << in;
        EXPECT_EQ(tsvField(in), tsv) << in;
    }
}

TEST(TabExport, LeadingLinesFollowTheCheckBoxes) {
    StringGrid g;
    fill(g, {{"", "heading", "", ""}});
    struct Case {
        bool csv, headers;
        std::string text;
    };
    const std::string head = std::string(kTabHeaderLine) + "\r\n";
    for (const Case& c : {Case{true, true, "sep=\t\r\n" + head}, Case{true, false, "sep=\t\r\n"},
                          Case{false, true, head}, Case{false, false, ""}})
        EXPECT_EQ(tabExportText(g, "D", "S", {c.csv, c.headers}), c.text) << c.csv << c.headers;
}

TEST(TabExport, OnlyMatchRowsWithTheirFileFacts) {
    TempTree t;
    const std::string a = t.write("a.txt", "0123456789\r\n");
    const std::string gone = t.path("gone.txt");
    StringGrid g;
    fill(g, {{"", a, a, ""},
             {"3", "x\ty\t", a, "1"},
             {"-1", a, a, ""},
             {"0", "zero", a, ""},
             {"  ", "blank", a, ""},
             {"", gone, gone, ""},
             {" 12 ", "gone line", gone, "2"},
             {"", "(No Matches Found)", "", ""}});
    const std::string text = tabExportText(g, "2026-03-05 14:07:09", "x,y", {false, false});
    const std::string date = xcFileDateText(a);
    ASSERT_THAT(date,
                ::testing::MatchesRegex("[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}"));
    EXPECT_EQ(text, "2026-03-05 14:07:09\tx,y\t" + a + "\t" + date + "\t12\t3\tx y \r\n" +
                        "2026-03-05 14:07:09\tx,y\t" + gone + "\t\t0\t 12 \tgone line\r\n");
}

// The CSV form read back by Python's csv module, honouring the "sep=" line as spreadsheets do.
TEST(TabExport, CsvReadsBackWholeInARealCsvReader) {
    TempTree t;
    const std::string odd = t.write("odd, \"name\"\t.txt", "x\n");
    const std::string plain = t.write("plain.txt", "y\n");
    StringGrid g;
    const std::vector<std::string> texts = {"say \"hi\", then\tgo", "a,b,c", "\"quoted\"",
                                            "tab\there\t"};
    fill(g, {{"", odd, odd, ""},
             {"1", texts[0], odd, "1"},
             {"2", texts[1], odd, "1"},
             {"", plain, plain, ""},
             {"3", texts[2], plain, "1"},
             {"44", texts[3], plain, "1"}});
    const std::string csv =
        t.write("out.csv", tabExportText(g, "2026-03-05 14:07:09", "one,\"two\"", {}));
    const std::string script = t.write("read.py", R"(import csv, sys
with open(sys.argv[1], newline='', encoding='latin-1') as f:
    first = f.readline()
    assert first.startswith('sep=')
    for row in csv.reader(f, delimiter=first[4]):
        print(' '.join(field.encode('latin-1').hex() for field in row))
)");
    int status = -1;
    const std::string out = run("python3 '" + script + "' '" + csv + "'", &status);
    ASSERT_EQ(status, 0) << out;

    std::vector<std::vector<std::string>> rows;
    for (const std::string& line : lines(out)) {
        std::vector<std::string> fields;
        std::size_t start = 0;
        for (;;) {
            const std::size_t end = std::min(line.find(' ', start), line.size());
            std::string field;
            for (std::size_t i = start; i + 1 < end; i += 2)
                field += static_cast<char>(std::stoi(line.substr(i, 2), nullptr, 16));
            fields.push_back(field);
            if (end == line.size()) break;
            start = end + 1;
        }
        rows.push_back(fields);
    }
    const std::string oddDate = xcFileDateText(odd), plainDate = xcFileDateText(plain);
    using Fields = std::vector<std::string>;
    const std::vector<Fields> expected = {
        {"Date", "Text", "Filename", "DateTime", "Size", "Line No.", "Line"},
        {"2026-03-05 14:07:09", "one,\"two\"", odd, oddDate, "2", "1", "say \"hi\", then go"},
        {"2026-03-05 14:07:09", "one,\"two\"", odd, oddDate, "2", "2", "a,b,c"},
        {"2026-03-05 14:07:09", "one,\"two\"", plain, plainDate, "2", "3", "\"quoted\""},
        {"2026-03-05 14:07:09", "one,\"two\"", plain, plainDate, "2", "44", "tab here "},
    };
    EXPECT_EQ(rows, expected);
}

namespace {

struct OutputFixture : ::testing::Test {
    TempTree t;
    test::ScriptedDialogs dialogs;
    test::RecordingShell shell;
    test::FakeClock clock{kPrinted};
    ChannelTable channels{dialogs};
    CommandContext cx{shell, dialogs, channels, clock, [] {
                          CommandOptions o;
                          o.defaultEditor = "/usr/bin/my-editor";
                          o.fixedEditor = "/nonexistent/geany";
                          return o;
                      }()};
    StringGrid grid;

    void SetUp() override {
        channels.programFolderOverride = t.mkdir("home");
        fill(grid, {{"", "/x/a.c", "/x/a.c", ""}, {"9", "int a;", "/x/a.c", "5"}});
    }
    ReportSource source() const {
        return {"Search Strings: (simple)\r\nint",
                "Folders Searched:\r\n",
                "1 Folder",
                "*.c",
                "Matched Lines=1 of 3 - Files=1 of 1 - time=0.004s",
                "int"};
    }
};

} // namespace

TEST_F(OutputFixture, PrepareMakesTheValuesAndTheFolder) {
    TextOutput out(cx, {t.path("out"), "Ostrel.INI"});
    ASSERT_TRUE(out.Prepare(source()));
    EXPECT_TRUE(std::filesystem::is_directory(t.path("out")));
    EXPECT_EQ(out.report().ReportDateTime, "2026-03-05 14:07:09");
    EXPECT_EQ(out.report().ReportFileName, t.path("out/Vesk-260305-140709.txt"));
    EXPECT_EQ(out.report().ReportText, "Vesk results for: Search Strings: (simple)\r\nint\r\n"
                                       "Folder: Folders Searched:\r\n\r\n"
                                       "Number Folders: 1 Folder\r\nFilespec: *.c\r\n\r\n"
                                       "Matched Lines=1 of 3 - Files=1 of 1 - time=0.004s\r\n");

    TextOutput deep(cx, {t.path("no/such"), "Ostrel.INI"});
    EXPECT_FALSE(deep.Prepare(source()));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_THAT(dialogs.messages[0], HasSubstr(t.path("no/such/") + ": No such file"));
}

TEST_F(OutputFixture, ExportTextWritesListingAndReportAndOpensTheViewer) {
    CurrentFolder here(t.root()); // no Ostrel.INI: the default editor
    TextOutput out(cx, {t.root(), "Ostrel.INI"});
    ASSERT_TRUE(out.Prepare(source()));
    ASSERT_TRUE(out.ExportText(grid));

    const std::string listing = out.report().ReportFileName;
    const std::string report = t.path("Report-Vesk-260305-140709.txt");
    EXPECT_EQ(readFile(listing), gridListingText(grid, out.report().ReportText));
    EXPECT_EQ(readFile(report), pagedReportText(readFile(listing), listing, kPrinted));
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].program, "/usr/bin/my-editor");
    EXPECT_EQ(shell.calls[0].parameters, report);
    EXPECT_EQ(dialogs.messages,
              std::vector<std::string>{
                  "printfile " + report +
                  " is in report folder\r\nYou can use Notepad to view and print this"});
    EXPECT_THAT(readFile(t.path("home/Ostrelrun.log")),
                HasSubstr(" Printfile " + report + " Text Notepad.exe\r\n"));
}

TEST_F(OutputFixture, ExportTextUsesTheSharedViewerAndReportsItsFailure) {
    t.write("Ostrel.INI", "[Settings]\r\nEditFile=/opt/view it\r\n");
    CurrentFolder here(t.root());
    shell.failWith = "No such file or directory";
    TextOutput out(cx, {t.path("with blank"), "Ostrel.INI"});
    ASSERT_TRUE(out.Prepare(source()));
    EXPECT_FALSE(out.ExportText(grid));
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].program, "/opt/view it");
    EXPECT_EQ(shell.calls[0].parameters,
              "\"" + t.path("with blank/Report-Vesk-260305-140709.txt") + "\"");
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_THAT(dialogs.messages[0], HasSubstr("You can use /opt/view it to view"));
    EXPECT_EQ(dialogs.messages[1], "No such file or directory");
}

TEST_F(OutputFixture, GridToTabSavesShowsAndOpensInTheEditor) {
    TextOutput out(cx, {t.root(), "Ostrel.INI"});
    ASSERT_TRUE(out.Prepare(source()));
    const TabExportOptions tsv{false, true};
    const std::string name = out.TabFileName(tsv);
    EXPECT_EQ(name, t.path("Vesk-260305-140709-SS-Tab.txt"));
    ASSERT_TRUE(out.GridToTab(grid, tsv));
    EXPECT_EQ(readFile(name), tabExportText(grid, "2026-03-05 14:07:09", "int", tsv));
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{"File saved to " + name});
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].program, "/usr/bin/my-editor");
    EXPECT_EQ(shell.calls[0].parameters, name);
}

TEST_F(OutputFixture, GridToTabThatCannotWriteTellsAndOpensNothing) {
    TextOutput out(cx, {t.root(), "Ostrel.INI"});
    ASSERT_TRUE(out.Prepare(source()));
    t.mkdir("Vesk-260305-140709.csv");
    EXPECT_FALSE(out.GridToTab(grid, {}));
    // A link planted at the predictable name is not followed.
    const std::string victim = t.write("victim.txt", "keep");
    std::filesystem::create_symlink(victim, out.TabFileName({false, true}));
    EXPECT_FALSE(out.GridToTab(grid, {false, true}));
    EXPECT_EQ(readFile(victim), "keep");
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_THAT(dialogs.messages[0], HasSubstr("Vesk-260305-140709.csv: Is a directory"));
    EXPECT_THAT(dialogs.messages[1], HasSubstr("-SS-Tab.txt: Too many levels of symbolic links"));
    EXPECT_TRUE(shell.calls.empty());
}
