// How long the log list takes to switch between the last 20 contacts and all of
// them on a full 13000-contact log, and how much memory that costs: once through
// the list model over the store, once the old way with one item per row.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <QApplication>
#include <QTreeView>
#include <QTreeWidget>

#include "core/log_list.h"
#include "core/number_format.h"
#include "core/qso_record.h"
#include "ui/main/log_list_model.h"

using namespace wexon;

namespace {

long residentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return 0;
}

std::vector<core::QsoRecord> fullLog() {
    std::vector<core::QsoRecord> log;
    log.reserve(13000);
    for (int n = 1; n <= 13000; ++n) {
        core::QsoRecord r;
        r.call = "K" + std::to_string(n) + "ABC";
        r.rstReceived = "599";
        r.serialReceived = std::to_string(n);
        r.rstSent = "599";
        r.country = "United States";
        r.qsoDate = "2026/05/30";
        r.qsoTime = "12:34:56";
        r.band = "20";
        r.points = 1;
        r.prefix = "K" + std::to_string(n % 10);
        r.serialSent = core::zeroPad(n, 3);
        log.push_back(r);
    }
    return log;
}

double millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

template <typename Switch> void measure(const char* name, QWidget& view, Switch&& toggle) {
    view.resize(1200, 600);
    view.show();
    QCoreApplication::processEvents();
    std::vector<double> times;
    long before = residentKilobytes();
    long peak = before;
    for (int i = 0; i < 10; ++i) {
        for (bool all : {true, false}) {
            auto start = std::chrono::steady_clock::now();
            toggle(all);
            view.repaint();
            QCoreApplication::processEvents();
            times.push_back(millisecondsSince(start));
            peak = std::max(peak, residentKilobytes());
        }
    }
    std::sort(times.begin(), times.end());
    std::printf("%-28s switch median %7.2f ms, worst %7.2f ms, memory +%ld kB\n", name,
                times[times.size() / 2], times.back(), peak - before);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const auto log = fullLog();

    {
        ui::LogListModel model;
        model.setStore(&log);
        QTreeView view;
        view.setUniformRowHeights(true);
        view.setRootIsDecorated(false);
        view.setModel(&model);
        measure("list model over the store", view, [&](bool all) { model.showNewest(all); });
    }
    {
        QTreeWidget widget;
        widget.setUniformRowHeights(true);
        widget.setColumnCount(11);
        measure("one item per row (naive)", widget, [&](bool all) {
            widget.clear();
            QList<QTreeWidgetItem*> items;
            for (const auto& row : core::logListRows(log, all)) {
                QStringList cells;
                for (const auto& c : row) {
                    cells << QString::fromLatin1(c.data(), static_cast<qsizetype>(c.size()));
                }
                items << new QTreeWidgetItem(cells);
            }
            widget.addTopLevelItems(items);
        });
    }
    return 0;
}
