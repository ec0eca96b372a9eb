#pragma once

#include <vector>

#include <QDialog>

#include "core/qso_record.h"
#include "output/rate_graph.h"
#include "ui/common/prompts.h"

class QLabel;
class QPushButton;

namespace wexon::ui {

class RatePlot;

// The rate graph window `GraphQSO`: the rate over the whole contest, a rate axis,
// time and date labels under the plot, the band legend and the background
// button. The computation is done by output::computeRateGraph; this only paints.
class RateGraphWindow : public QDialog {
    Q_OBJECT
  public:
    RateGraphWindow(const std::vector<core::QsoRecord>& qsos, Prompts& prompts,
                    QWidget* parent = nullptr);

    // Computes and draws the graph (`DrawRateGraph`). Tells the operator when
    // there are too few contacts.
    void drawRateGraph();
    // The background button (`Command1`).
    void command1Click();

    bool blackBackground() const { return m_black; }
    const output::RateGraph& graph() const { return m_graph; }

  private:
    void applyColours();

    const std::vector<core::QsoRecord>& m_qsos;
    Prompts& m_prompts;
    output::RateGraph m_graph;
    bool m_black = false;

    RatePlot* m_plot = nullptr;
    std::vector<QLabel*> lblY;
    std::vector<QLabel*> lblTime;
    std::vector<QLabel*> lblDate;
    std::vector<QLabel*> lblBnd;
    QPushButton* Command1 = nullptr;

    friend class RatePlot;
};

} // namespace wexon::ui
