#include "ui/spots/band_map_widget.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPalette>

#include "spots/spot_line.h"

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
        auto* l = new QLabel(this);
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
    // The newest spot is drawn over the others.
    m_spots.back()->raise();
    setMinimumHeight(48);
}

int BandMapWidget::axisX1() const {
    return m_spots[0]->sizeHint().width() / 2 + 4;
}

int BandMapWidget::axisX2() const {
    return width() - axisX1();
}

int BandMapWidget::axisY() const {
    return height() / 2;
}

void BandMapWidget::setScale(const spots::MapScale& scale) {
    for (int i = 0; i < 5; ++i) {
        m_scale[static_cast<std::size_t>(i)]->setText(
            QString::fromLatin1(scale.captions[static_cast<std::size_t>(i)]));
        m_scale[static_cast<std::size_t>(i)]->adjustSize();
    }
    placeScale();
}

void BandMapWidget::showLabels(const std::vector<spots::LabelPlacement>& labels,
                               const spots::SpotStore& store, float utcOffsetHours) {
    for (SpotLabel* l : m_spots) {
        l->hide();
    }
    for (const spots::LabelPlacement& p : labels) {
        const spots::SpotSlot& s = store.slot(p.slot);
        SpotLabel* l = m_spots[static_cast<std::size_t>(p.slot)];
        l->setToolTip(QString::fromLatin1(spots::spotToolTip(s, utcOffsetHours)));
        const QString caption = QString::fromLatin1(s.label);
        if (l->text() != caption) {
            l->setText(caption);
            l->adjustSize();
        }
        int& age = m_ages[static_cast<std::size_t>(p.slot)];
        if (age != static_cast<int>(p.age)) {
            setLabelColour(l, spots::ageColour(p.age));
            age = static_cast<int>(p.age);
        }
        m_positions[static_cast<std::size_t>(p.slot)] = p.position;
        placeLabel(p.slot);
        l->show();
    }
}

void BandMapWidget::placeScale() {
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

void BandMapWidget::placeLabel(int slot) {
    SpotLabel* l = m_spots[static_cast<std::size_t>(slot)];
    const double left = spots::labelLeft(m_positions[static_cast<std::size_t>(slot)], axisX1(),
                                         axisX2(), l->width());
    l->move(static_cast<int>(left), axisY() - l->height() - kGap);
}

void BandMapWidget::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    placeScale();
    for (int i = 0; i < spots::SpotStore::kSlots; ++i) {
        if (!m_spots[static_cast<std::size_t>(i)]->isHidden()) {
            placeLabel(i);
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
