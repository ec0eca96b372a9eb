#include "ui/spots/spectrum_map_window.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QResizeEvent>

#include "ui/common/frame_fit.h"
#include "ui/common/plain_text.h"
#include "ui/common/screen_layout.h"
#include "ui/spots/band_map_widget.h"

namespace wexon::ui {

namespace {

// Design coordinates are twips on a 9600 by 7200 twip screen; the window fills
// the work area, so each is scaled by the work area over that screen.
constexpr double kDesignWidth = 9600.0;
constexpr double kDesignHeight = 7200.0;

} // namespace

SpectrumMapWindow::SpectrumMapWindow(spots::SpotStore& store, const core::Clock& clock,
                                     SpotHost& host, QRect workArea, QWidget* parent)
    : QDialog(parent), m_store(store), m_clock(clock), m_host(host) {
    setObjectName("SpectrumMap");
    setWindowTitle(" HF Spectrum Map");
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);

    for (int k = 0; k < 11; ++k) {
        auto* strip = plainLabel(QString(), this);
        strip->setObjectName(QStringLiteral("lblHFSpots_%1").arg(k));
        QPalette p = strip->palette();
        p.setColor(QPalette::Window, QColor(0, 0, 128));
        strip->setPalette(p);
        strip->setAutoFillBackground(true);
        m_strips[static_cast<std::size_t>(k)] = strip;
        auto* axis = new QFrame(this);
        axis->setObjectName(QStringLiteral("lineHF_%1").arg(k));
        QPalette a = axis->palette();
        a.setColor(QPalette::Window, Qt::white);
        axis->setPalette(a);
        axis->setAutoFillBackground(true);
        m_axes[static_cast<std::size_t>(k)] = axis;
    }
    for (int j = 0; j < 55; ++j) {
        auto* l = plainLabel(QString(), this);
        l->setObjectName(QStringLiteral("lblFreqSpot_%1").arg(j));
        setLabelColour(l, {255, 255, 255});
        m_scale[static_cast<std::size_t>(j)] = l;
    }
    for (int i = 0; i < spots::SpotStore::kSlots; ++i) {
        auto* l = new SpotLabel(i, this);
        l->hide();
        connect(l, &SpotLabel::pressed, this, &SpectrumMapWindow::spotPressed);
        m_spots[static_cast<std::size_t>(i)] = l;
    }
    m_spots.back()->raise();

    // Fit to the work area: left and top at its corner, its full size. Once the
    // window manager has put its frame round it, the frame is what fits.
    setGeometry(workArea);
    FramePlacement::install(*this, [this, workArea] { placeWindowFrame(*this, workArea); });
    layoutStrips();
    setSpectrumScales();
}

QLabel* SpectrumMapWindow::spotLabel(int slot) const {
    return m_spots[static_cast<std::size_t>(slot)];
}

QLabel* SpectrumMapWindow::scaleLabel(int index) const {
    return m_scale[static_cast<std::size_t>(index)];
}

void SpectrumMapWindow::layoutStrips() {
    const double rx = width() / kDesignWidth;
    const double ry = height() / kDesignHeight;
    for (int k = 0; k < 11; ++k) {
        m_strips[static_cast<std::size_t>(k)]->setGeometry(
            static_cast<int>(120 * rx), static_cast<int>((120 + 600 * k) * ry),
            static_cast<int>(9255 * rx), std::max(1, static_cast<int>(495 * ry)));
        m_axes[static_cast<std::size_t>(k)]->setGeometry(static_cast<int>(360 * rx),
                                                         static_cast<int>((360 + 600 * k) * ry),
                                                         static_cast<int>((9120 - 360) * rx), 1);
    }
}

void SpectrumMapWindow::setSpectrumScales() {
    const auto scales = spots::spectrumScales(m_store);
    const int gap = std::max(1, static_cast<int>(0.004 * height()));
    for (int k = 0; k < 11; ++k) {
        const QFrame* axis = m_axes[static_cast<std::size_t>(k)];
        const int x1 = axis->x();
        const int x2 = axis->x() + axis->width();
        for (int i = 0; i < 5; ++i) {
            QLabel* l = m_scale[static_cast<std::size_t>(5 * k + i)];
            l->setText(QString::fromLatin1(
                scales[static_cast<std::size_t>(k)].captions[static_cast<std::size_t>(i)]));
            l->adjustSize();
            l->move(static_cast<int>(spots::labelLeft(i * 0.25, x1, x2, l->width())),
                    axis->y() + gap);
            l->show();
        }
    }
}

void SpectrumMapWindow::placeSpot(int slot) {
    const spots::LabelPlacement& p = m_placements[static_cast<std::size_t>(slot)];
    const QFrame* axis = m_axes[static_cast<std::size_t>(p.strip)];
    SpotLabel* l = m_spots[static_cast<std::size_t>(slot)];
    const double left =
        spots::labelLeft(p.position, axis->x(), axis->x() + axis->width(), l->width());
    l->move(static_cast<int>(left), axis->y() - l->height());
}

void SpectrumMapWindow::bandMapLabelDisplay() {
    for (SpotLabel* l : m_spots) {
        l->hide();
    }
    setSpectrumScales();
    const auto scales = spots::spectrumScales(m_store);
    const float utcOffset = m_host.utcOffsetHours();
    for (const spots::LabelPlacement& p :
         spots::spectrumLabels(m_store, scales, m_clock.localNow())) {
        const spots::SpotSlot& s = m_store.slot(p.slot);
        SpotLabel* l = m_spots[static_cast<std::size_t>(p.slot)];
        l->setToolTip(plainToolTip(QString::fromLatin1(spots::spotToolTip(s, utcOffset))));
        l->setText(QString::fromLatin1(s.label));
        l->adjustSize();
        setLabelColour(l, spots::ageColour(p.age));
        m_placements[static_cast<std::size_t>(p.slot)] = p;
        placeSpot(p.slot);
        l->show();
    }
}

void SpectrumMapWindow::spotPressed(int slot, Qt::MouseButton button) {
    const spots::SpotSlot& s = m_store.slot(slot);
    if (button == Qt::RightButton) {
        m_host.changeFrequency(s.frequency);
        m_host.enterCall(s.call, false);
        accept();
        m_host.focusCall();
        return;
    }
    m_store.clearFrequency(slot);
    bandMapLabelDisplay();
}

void SpectrumMapWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    layoutStrips();
    setSpectrumScales();
    for (int i = 0; i < spots::SpotStore::kSlots; ++i) {
        if (!m_spots[static_cast<std::size_t>(i)]->isHidden()) {
            placeSpot(i);
        }
    }
}

void SpectrumMapWindow::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        bandMapLabelDisplay();
    }
}

} // namespace wexon::ui
