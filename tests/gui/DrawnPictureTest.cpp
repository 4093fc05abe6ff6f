// The drawn-picture helper that the logo and the search window's glass share.

#include <QImage>
#include <QPainter>
#include <QTest>

#include "gui/ui/DrawnPicture.h"

using namespace vorkel::gui;

class DrawnPictureTest : public QObject {
    Q_OBJECT

private slots:
    void isSquareTransparentAndPaintedAtItsSize() {
        qreal given = 0;
        const QPixmap picture = drawnPicture(40, [&](QPainter& painter, qreal s) {
            given = s;
            painter.fillRect(QRectF(0, 0, s / 2, s / 2), Qt::red);
        });
        QCOMPARE(given, 40.0);
        QCOMPARE(picture.size(), QSize(40, 40));
        const QImage image = picture.toImage();
        QCOMPARE(image.pixelColor(5, 5), QColor(Qt::red));
        // What the painting leaves alone shows whatever lies behind the picture.
        QCOMPARE(image.pixelColor(35, 35).alpha(), 0);
    }

    void edgesAreSmoothed() {
        const QImage image = drawnPicture(40, [](QPainter& painter, qreal s) {
                                 painter.setPen(Qt::NoPen);
                                 painter.setBrush(Qt::black);
                                 painter.drawEllipse(QPointF(s / 2, s / 2), s / 3, s / 3);
                             }).toImage();
        // Somewhere along a circle's rim a pixel is only partly covered.
        bool partial = false;
        for (int x = 0; x < image.width() && !partial; ++x) {
            const int alpha = image.pixelColor(x, 20).alpha();
            partial = alpha > 0 && alpha < 255;
        }
        QVERIFY(partial);
    }
};

QTEST_MAIN(DrawnPictureTest)
#include "DrawnPictureTest.moc"
