#pragma once

#include <QDialog>

#include "rig/band_plan.h"
#include "ui/common/prompts.h"

class QFrame;
class QLabel;

namespace wexon::ui {

// The frequency privileges window `frmBandPlan`: the segments of "BandPlan.txt"
// open to one licence class, drawn as bars of labels, one bar per band. Made for
// one opening; check loaded() before showing it.
class RigBandPlanDialog : public QDialog {
  public:
    // Reads "BandPlan.txt" from `workingFolder`; when it cannot be read, says so
    // through `prompts` and loaded() is false.
    RigBandPlanDialog(const QString& workingFolder, Prompts& prompts, QWidget* parent = nullptr,
                      int screenWidthPixels = 0);

    bool loaded() const { return m_loaded; }
    // Draws class `licence` ('N', 'T', 'P', 'G', 'A', 'E') under `title`.
    void drawClass(char licence, const QString& title);

  private:
    void clearChart();

    rig::BandPlan m_plan;
    bool m_loaded = false;
    double m_fontScale = 1.0;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QFrame* Line1 = nullptr;
};

inline constexpr const char* kBandPlanCaption = "Frequency Privileges";

} // namespace wexon::ui
