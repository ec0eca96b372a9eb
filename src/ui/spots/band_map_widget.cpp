#include "ui/spots/band_map_widget.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPalette>

#include "spots/spot_line.h"
#include "spots/spot_marks.h"
#include "ui/common/plain_text.h"

namespace wexon::ui {

namespace {

constexpr int kGap = 2; // pixels between the axis and the labels

void setNavy(QWidget* w) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, QColor(0, 0, 128));
    p.setColor(QPalette::WindowText, Qt::white);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

} // namespace

SpotLabel::SpotLabel(int slot, QWidget* parent) : QLabel(parent), m_slot(slot) {
    setObjectName(QStringLiteral("lblDXSpot_%1").arg(slot));
    showPlainText(this);
    setAttribute(Qt::WA_Hover);
}

void SpotLabel::mousePressEvent(QMouseEvent* event) {
    emit pressed(m_slot, event->button());
    event->accept();
}

void SpotLabel::enterEvent(QEnterEvent* event) {
    emit hovered(m_slot);
    QLabel::enterEvent(event);
}

void setLabelColour(QLabel* label, const spots::Rgb& c) {
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, QColor(c.red, c.green, c.blue));
    label->setPalette(p);
}

void setLabelMarkFont(QLabel* label, const spots::SpotMark& mark) {
    QFont f = label->font();
    f.setBold(mark.status == core::ContactStatus::NewPrefix);
    f.setUnderline(mark.status == core::ContactStatus::NewPrefix);
    f.setStrikeOut(mark.status == core::ContactStatus::Dupe);
    label->setFont(f);
}

QString markedCaption(const spots::SpotSlot& slot) {
    QString caption = QString::fromLatin1(slot.label);
    if (slot.mark.unconfirmed) {
        caption += QLatin1Char('?');
    }
    return caption;
}

BandMapWidget::BandMapWidget(QWidget* parent) : QFrame(parent) {
    setObjectName("lblDX");
    setNavy(this);
    m_axis = new QFrame(this);
    m_axis->setObjectName("LineDX");
    m_axis->setFixedHeight(1);
    QPalette axis = m_axis->palette();
    axis.setColor(QPalette::Window, Qt::white);
    m_axis->setPalette(axis);
    m_axis->setAutoFillBackground(true);
    for (int i = 0; i < 5; ++i) {
        auto* l = plainLabel(QString(), this);
        l->setObjectName(QStringLiteral("lblFreqSpot_%1").arg(i));
        l->setAlignment(Qt::AlignCenter);
        setLabelColour(l, {255, 255, 255});
        m_scale[static_cast<std::size_t>(i)] = l;
    }
    for (int i = 0; i < spots::SpotStore::kSlots; ++i) {
        auto* l = new SpotLabel(i, this);
        l->hide();
        connect(l, &SpotLabel::pressed, this, &BandMapWidget::spotPressed);
        connect(l, &SpotLabel::hovered, this, &BandMapWidget::spotHovered);
        m_spots[static_cast<std::size_t>(i)] = l;
    }
    m_ages.fill(-1);
    setMinimumHeight(48);
}

QLabel* BandMapWidget::spotLabel(int slot) const {
    QLabel* hidden = nullptr;
    for (std::size_t j = 0; j < m_spots.size(); ++j) {
        if (m_serials[j] == 0) {
            if (hidden == nullptr) {
                hidden = m_spots[j];
            }
        } else if (m_spots[j]->slot() == slot) {
            return m_spots[j];
        }
    }
    return hidden != nullptr ? hidden : m_spots[static_cast<std::size_t>(slot)];
}

int BandMapWidget::axisX1() const {
    return m_axisMargin;
}

int BandMapWidget::axisX2() const {
    return width() - axisX1();
}

int BandMapWidget::axisY() const {
    return height() / 2;
}

void BandMapWidget::setScale(const spots::MapScale& scale) {
    bool changed = false;
    for (std::size_t i = 0; i < m_scale.size(); ++i) {
        const QString caption = QString::fromLatin1(scale.captions[i]);
        if (m_scale[i]->text() != caption) {
            m_scale[i]->setText(caption);
            m_scale[i]->adjustSize();
            changed = true;
        }
    }
    if (changed) {
        placeScale();
        for (std::size_t j = 0; j < m_spots.size(); ++j) {
            if (m_serials[j] != 0) {
                placeLabel(j);
            }
        }
    }
}

void BandMapWidget::showLabels(const std::vector<spots::LabelPlacement>& labels,
                               const spots::SpotStore& store, float utcOffsetHours,
                               const core::DateTime& now) {
    constexpr std::size_t kLabels = spots::SpotStore::kSlots;
    // Each placement keeps the label already showing its spot; the rest take
    // labels set free, visible ones first (moved rather than hidden and shown).
    std::array<int, kLabels> labelOf{};
    labelOf.fill(-1);
    std::array<bool, kLabels> taken{};
    const std::size_t count = std::min(labels.size(), kLabels);
    for (std::size_t k = 0; k < count; ++k) {
        const std::uint64_t serial = store.slot(labels[k].slot).serial;
        for (std::size_t j = 0; j < kLabels && serial != 0; ++j) {
            if (!taken[j] && m_serials[j] == serial) {
                labelOf[k] = static_cast<int>(j);
                taken[j] = true;
                break;
            }
        }
    }
    std::vector<std::size_t> free;
    for (int visible = 1; visible >= 0; --visible) {
        for (std::size_t j = 0; j < kLabels; ++j) {
            if (!taken[j] && m_spots[j]->isHidden() == (visible == 0)) {
                free.push_back(j);
            }
        }
    }
    std::size_t nextFree = 0;
    std::array<bool, kLabels> fresh{};
    for (std::size_t k = 0; k < count; ++k) {
        if (labelOf[k] < 0) {
            const std::size_t j = free[nextFree++];
            labelOf[k] = static_cast<int>(j);
            // A slot the store never filled has serial 0; its label is still
            // in use, so it is marked with a serial no spot has.
            const std::uint64_t serial = store.slot(labels[k].slot).serial;
            m_serials[j] = serial != 0 ? serial : ~std::uint64_t{0};
            fresh[k] = true;
        }
    }
    for (std::size_t f = nextFree; f < free.size(); ++f) {
        const std::size_t j = free[f];
        m_serials[j] = 0;
        if (!m_spots[j]->isHidden()) {
            m_spots[j]->hide();
        }
    }

    for (std::size_t k = 0; k < count; ++k) {
        const spots::LabelPlacement& p = labels[k];
        const std::size_t j = static_cast<std::size_t>(labelOf[k]);
        const spots::SpotSlot& s = store.slot(p.slot);
        SpotLabel* l = m_spots[j];
        l->setSlot(p.slot);
        const QString tip = QString::fromLatin1(spots::spotMarkedToolTip(s, utcOffsetHours));
        if (m_tips[j] != tip) {
            m_tips[j] = tip;
            l->setToolTip(plainToolTip(tip));
        }
        // The age in the accessible name moves on by the minute, so a screen
        // reader hears a label change at most once a minute between spots.
        const QString spoken = QString::fromLatin1(spots::spotSpokenText(s, now));
        if (m_spoken[j] != spoken) {
            m_spoken[j] = spoken;
            l->setAccessibleName(spoken);
        }
        const QString caption = markedCaption(s);
        bool moved = false;
        if (fresh[k] || !(m_marks[j] == s.mark)) {
            if (fresh[k] || m_marks[j].status != s.mark.status) {
                setLabelMarkFont(l, s.mark);
                moved = true;
            }
            m_marks[j] = s.mark;
        }
        if (l->text() != caption) {
            l->setText(caption);
            moved = true;
        }
        if (moved) {
            l->adjustSize();
        }
        if (m_ages[j] != static_cast<int>(p.age)) {
            setLabelColour(l, spots::ageColour(p.age));
            m_ages[j] = static_cast<int>(p.age);
        }
        if (moved || m_positions[j] != p.position) {
            m_positions[j] = p.position;
            placeLabel(j);
        }
        if (l->isHidden()) {
            l->show();
        }
    }
    // Newer spots are drawn over older ones. The placements come newest first,
    // so raising from the oldest up leaves the newest on top. Labels that kept
    // their spot are already in order among themselves: when every new label
    // shows a newer spot than they do (the usual case, a spot just arrived),
    // raising the new ones is enough.
    int newestKept = -1;
    int oldestFresh = spots::SpotStore::kSlots;
    for (std::size_t k = 0; k < count; ++k) {
        if (fresh[k]) {
            oldestFresh = std::min(oldestFresh, labels[k].slot);
        } else {
            newestKept = std::max(newestKept, labels[k].slot);
        }
    }
    if (oldestFresh == spots::SpotStore::kSlots) {
        return;
    }
    const bool all = oldestFresh < newestKept;
    for (std::size_t k = count; k-- > 0;) {
        if (all || fresh[k]) {
            m_spots[static_cast<std::size_t>(labelOf[k])]->raise();
        }
    }
}

void BandMapWidget::placeScale() {
    int widest = 0;
    for (QLabel* l : m_scale) {
        widest = std::max(widest, l->sizeHint().width());
    }
    m_axisMargin = widest / 2 + 4;
    const int x1 = axisX1();
    const int x2 = axisX2();
    const int y = axisY();
    m_axis->setGeometry(x1, y, std::max(0, x2 - x1), 1);
    for (int i = 0; i < 5; ++i) {
        QLabel* l = m_scale[static_cast<std::size_t>(i)];
        const double left = spots::labelLeft(i * 0.25, x1, x2, l->width());
        l->move(static_cast<int>(left), y + kGap);
    }
}

void BandMapWidget::placeLabel(std::size_t label) {
    SpotLabel* l = m_spots[label];
    const double left = spots::labelLeft(m_positions[label], axisX1(), axisX2(), l->width());
    l->move(static_cast<int>(left), axisY() - l->height() - kGap);
}

void BandMapWidget::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    placeScale();
    for (std::size_t j = 0; j < m_spots.size(); ++j) {
        if (m_serials[j] != 0) {
            placeLabel(j);
        }
    }
}

void BandMapWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit panelClicked();
    }
    QFrame::mousePressEvent(event);
}

void BandMapWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    emit panelDoubleClicked();
    QFrame::mouseDoubleClickEvent(event);
}

} // namespace wexon::ui
