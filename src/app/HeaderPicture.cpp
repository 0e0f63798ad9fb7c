#include "app/HeaderPicture.h"

#include <QIconEngine>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace vx {
namespace {

// A round dial with scale marks and a needle, filling the square `box`.
void DrawGauge(QPainter& p, const QRectF& box, const QColor& face, const QColor& ink) {
    const QPointF centre = box.center();
    const double radius = box.width() / 2.0;
    p.setPen(QPen(ink, std::max(1.0, radius / 8.0)));
    p.setBrush(face);
    p.drawEllipse(centre, radius * 0.9, radius * 0.9);
    p.setPen(QPen(ink, std::max(1.0, radius / 14.0), Qt::SolidLine, Qt::RoundCap));
    for (int mark = 0; mark <= 6; ++mark) {
        const double angle = std::numbers::pi * (1.25 - 1.5 * mark / 6.0);
        const QPointF dir(std::cos(angle), -std::sin(angle));
        p.drawLine(centre + dir * radius * 0.55, centre + dir * radius * 0.72);
    }
    const double needle = std::numbers::pi * 0.3;
    p.setPen(QPen(QColor(220, 30, 30), std::max(1.5, radius / 7.0), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre, centre + QPointF(std::cos(needle), -std::sin(needle)) * radius * 0.62);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawEllipse(centre, radius * 0.12, radius * 0.12);
}

// A push test as the instrument records it: rise, hold with a little noise, release.
QPainterPath ForceCurve(const QRectF& area) {
    QPainterPath path;
    const int steps = 160;
    for (int i = 0; i <= steps; ++i) {
        const double t = static_cast<double>(i) / steps;
        double level = 0.0;
        if (t > 0.15 && t < 0.35) {
            level = (t - 0.15) / 0.2;
        } else if (t >= 0.35 && t <= 0.7) {
            level = 1.0 + 0.04 * std::sin(t * 90.0);
        } else if (t > 0.7 && t < 0.85) {
            level = 1.0 - (t - 0.7) / 0.15;
        }
        const QPointF point(area.left() + t * area.width(), area.bottom() - level * area.height());
        if (i == 0) {
            path.moveTo(point);
        } else {
            path.lineTo(point);
        }
    }
    return path;
}

class GaugeIconEngine final : public QIconEngine {
  public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const int side = std::min(rect.width(), rect.height());
        DrawGauge(*painter, QRectF(rect.x(), rect.y(), side, side), QColor(245, 248, 252),
                  QColor(12, 40, 78));
        painter->restore();
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }
    // The size asked for is in device pixels already.
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        {
            QPainter p(&pixmap);
            paint(&p, pixmap.rect(), mode, state);
        }
        pixmap.setDevicePixelRatio(scale);
        return pixmap;
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    QIconEngine* clone() const override { return new GaugeIconEngine; }
};

}  // namespace

QPixmap DrawHeaderPicture(bool alternative, qreal pixelRatio) {
    QPixmap picture(QSize(kHeaderWidth, kHeaderHeight) * pixelRatio);
    picture.setDevicePixelRatio(pixelRatio);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient band(0, 0, kHeaderWidth, 0);
    band.setColorAt(0.0, alternative ? QColor(20, 70, 40) : QColor(12, 40, 78));
    band.setColorAt(0.6, alternative ? QColor(50, 130, 80) : QColor(40, 100, 160));
    band.setColorAt(1.0, alternative ? QColor(150, 200, 160) : QColor(150, 190, 225));
    p.fillRect(QRect(0, 0, kHeaderWidth, kHeaderHeight), band);

    DrawGauge(p, QRectF(10, 8, 44, 44), QColor(245, 248, 252), QColor(20, 30, 45));

    QFont brand("DejaVu Sans");
    brand.setPixelSize(26);
    brand.setBold(true);
    p.setFont(brand);
    p.setPen(Qt::white);
    p.drawText(QRectF(66, 6, 300, 32), Qt::AlignLeft | Qt::AlignVCenter, "Kelvorn");
    QFont line("DejaVu Sans");
    line.setPixelSize(12);
    p.setFont(line);
    p.setPen(QColor(210, 225, 240));
    p.drawText(QRectF(67, 36, 300, 18), Qt::AlignLeft | Qt::AlignVCenter, "force measurement");

    p.setPen(QPen(QColor(255, 255, 255, 60), 1));
    for (int x = 420; x < kHeaderWidth; x += 40) {
        p.drawLine(x, 8, x, kHeaderHeight - 6);
    }
    p.setPen(QPen(QColor(255, 240, 120), 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(ForceCurve(QRectF(420, 12, 360, 38)));
    return picture;
}

QPixmap DrawIconPixmap(int size) {
    return GaugeIconEngine().pixmap(QSize(size, size), QIcon::Normal, QIcon::Off);
}

QIcon DrawWindowIcon() {
    return QIcon(new GaugeIconEngine);
}

}  // namespace vx
