#include "app/qt/chart_view.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace rxt::ui {

CChartViewUI::CChartViewUI(QWidget* parent) : QWidget(parent) {}

void CChartViewUI::addItem(const QString& name, double value) {
    // Negative or non-finite values would make no sense as slices or bars.
    items_.push_back({name, std::isfinite(value) ? std::max(value, 0.0) : 0.0});
    update();
}

void CChartViewUI::clearItems() {
    items_.clear();
    update();
}

void CChartViewUI::setView(const QString& view) {
    pie_ = view != "histpgram";
    update();
}

void CChartViewUI::paintEvent(QPaintEvent*) {
    if (items_.empty()) {
        return;
    }
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    double total = 0;
    double largest = 0;
    for (const auto& item : items_) {
        total += item.value;
        largest = std::max(largest, item.value);
    }
    const int n = static_cast<int>(items_.size());
    auto colorOf = [n](int i) { return QColor::fromHsv(i * 360 / std::max(n, 1), 160, 220); };
    if (pie_) {
        const int side = std::min(width(), height()) - 4;
        const QRect r((width() - side) / 2, (height() - side) / 2, side, side);
        int start = 90 * 16;
        for (int i = 0; i < n && total > 0; ++i) {
            const int span = static_cast<int>(items_[static_cast<size_t>(i)].value / total * 5760);
            p.setBrush(colorOf(i));
            p.drawPie(r, start, -span);
            start -= span;
        }
        return;
    }
    const int textHeight = showText_ ? fontMetrics().height() : 0;
    const int barWidth = std::max(width() / (2 * n), 1);
    for (int i = 0; i < n; ++i) {
        const auto& item = items_[static_cast<size_t>(i)];
        const int x = (2 * i * width()) / (2 * n) + barWidth / 2;
        const int h =
            largest > 0 ? static_cast<int>(item.value / largest * (height() - textHeight)) : 0;
        p.fillRect(x, height() - textHeight - h, barWidth, h, colorOf(i));
        if (showText_) {
            p.drawText(QRect(x - barWidth / 2, height() - textHeight, 2 * barWidth, textHeight),
                       Qt::AlignCenter, item.name);
        }
    }
}

}  // namespace rxt::ui
