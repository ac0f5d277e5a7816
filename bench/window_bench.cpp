// The window's side of bench/window.sh: a search run over the tree VESK_BENCH_TREE for
// VESK_BENCH_STRING in the real main window (the wall clock, the real message boxes), then Ctrl+End
// and twenty Ctrl+N in the results. Prints one "window" line of tab-separated figures.
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "search/search_run.h"
#include "ui/frm_vesk1.h"
#include "ui/results_view.h"

namespace {

template <class W> W* child(QWidget& window, const char* name) {
    W* w = window.findChild<W*>(QString::fromLatin1(name));
    if (!w) {
        std::fprintf(stderr, "window_bench: no widget %s\n", name);
        std::exit(2);
    }
    return w;
}

} // namespace

int main(int argc, char* argv[]) {
    const QByteArray folder = qgetenv("VESK_BENCH_TREE");
    const QByteArray string = qgetenv("VESK_BENCH_STRING");
    if (folder.isEmpty() || string.isEmpty()) {
        std::fputs("window_bench: set VESK_BENCH_TREE and VESK_BENCH_STRING\n", stderr);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    auto window = std::make_unique<vesk::TfrmVesk1>();
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) return 2;
    child<QLineEdit>(*window, "edtFolder")->setText(QString::fromLocal8Bit(folder));
    child<QLineEdit>(*window, "edtString")->setText(QString::fromLocal8Bit(string));
    child<QCheckBox>(*window, "cbxSubFolders")->setChecked(true);
    if (qgetenv("VESK_BENCH_FAST") == "0") child<QCheckBox>(*window, "cbxFast")->setChecked(false);

    // How long the window goes without handling events during the run: a timer that wants to fire
    // every 10 ms records the longest gap between its ticks.
    QElapsedTimer sinceTick;
    qint64 longestGapMs = 0;
    int ticks = 0;
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestGapMs = std::max(longestGapMs, sinceTick.restart());
        ++ticks;
    });
    QElapsedTimer timer;
    timer.start();
    sinceTick.start();
    ticker.start();
    child<QPushButton>(*window, "btnGo")->click();
    ticker.stop();
    const double runSeconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;

    vesk::ResultsView& view = window->resultsView();
    timer.restart();
    QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
    QApplication::processEvents();
    const double endMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    QTest::keyClick(&view, Qt::Key_Home, Qt::ControlModifier);
    timer.restart();
    for (int i = 0; i < 20; ++i)
        QTest::keyClick(&view, Qt::Key_N, Qt::ControlModifier);
    QApplication::processEvents();
    const double nextFileMs = static_cast<double>(timer.nsecsElapsed()) / 1e6 / 20;
    std::printf("window\tseconds=%.3f\trows=%d\tmatched=%d\tend_ms=%.1f\tnext_file_ms=%.2f"
                "\tevent_ticks=%d\tlongest_event_gap_ms=%lld\n",
                runSeconds, window->searchRun().state().LastRow + 1,
                window->searchRun().state().MatchedLines, endMs, nextFileMs, ticks,
                static_cast<long long>(longestGapMs));
    return 0;
}
