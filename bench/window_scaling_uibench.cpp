// How long stretching a window of 100 controls to the screen takes: half of
// them placed by hand, half in a layout, all kinds the rules know. The budget
// is 5 ms a window.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include <time.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include "ui/common/screen_layout.h"

namespace {

QWidget* control(int i, QWidget* parent) {
    switch (i % 8) {
    case 0:
        return new QLabel(QString("Caption %1").arg(i), parent);
    case 1:
        return new QLineEdit(parent);
    case 2:
        return new QPushButton(QString("Button %1").arg(i), parent);
    case 3: {
        auto* combo = new QComboBox(parent);
        combo->addItems({"160", "80", "40", "20", "15", "10"});
        return combo;
    }
    case 4:
        return new QCheckBox(QString("Check %1").arg(i), parent);
    case 5:
        return new QRadioButton(QString("Option %1").arg(i), parent);
    case 6:
        return new QListWidget(parent);
    default: {
        auto* tree = new QTreeWidget(parent);
        tree->setColumnCount(4);
        return tree;
    }
    }
}

// 50 controls on a hand-placed panel and 50 in a grid.
std::unique_ptr<QDialog> hundredControls() {
    auto window = std::make_unique<QDialog>();
    auto* outer = new QGridLayout(window.get());
    auto* panel = new QWidget;
    panel->setMinimumSize(400, 600);
    for (int i = 0; i < 50; ++i) {
        QWidget* w = control(i, panel);
        w->setGeometry(10 + (i % 5) * 75, 10 + (i / 5) * 55, 70, 22);
    }
    outer->addWidget(panel, 0, 0, 10, 1);
    for (int i = 50; i < 100; ++i) {
        outer->addWidget(control(i, window.get()), (i - 50) / 5, 1 + (i % 5));
    }
    window->resize(window->sizeHint());
    return window;
}

// The processor time this thread used, in milliseconds: on a machine shared
// with other work the wall time also counts the waits for a processor.
double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const wexon::ui::ScreenAreas screen{QRect(0, 0, 1920, 1080), QRect(0, 0, 1920, 1040)};

    constexpr int kRuns = 100;
    std::vector<double> wall;
    std::vector<double> cpu;
    for (int run = 0; run < kRuns; ++run) {
        auto window = hundredControls();
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = threadCpuMs();
        wexon::ui::scaleWindowToScreen(*window, screen);
        cpu.push_back(threadCpuMs() - cpuStart);
        wall.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::printf("scale a window of 100 controls to 1920x1080 (%d runs, budget 5 ms):\n"
                "  wall time: median %.3f ms, max %.3f ms\n"
                "  processor time: median %.3f ms, max %.3f ms\n",
                kRuns, median(wall), *std::max_element(wall.begin(), wall.end()), median(cpu),
                *std::max_element(cpu.begin(), cpu.end()));
    return 0;
}
