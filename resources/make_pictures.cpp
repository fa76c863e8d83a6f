// Draws Velmaro's pictures with QPainter. Built and run by make_pictures.sh.
// The icon, cursor and symbols use the 16 VGA colours without smoothing, for
// the crisp look of a 16-colour icon; the logo and the hourglass are smooth.
// The logo, the symbols, the hourglass and the window icon are drawn a
// second time at twice the size ("@2x") for screens scaled to 200 %.

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <cstdio>

namespace {

// The VGA colours used here.
const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);
const QColor kGray(128, 128, 128);
const QColor kSilver(192, 192, 192);
const QColor kYellow(255, 255, 0);
const QColor kOlive(128, 128, 0);
const QColor kRed(255, 0, 0);
const QColor kMaroon(128, 0, 0);
const QColor kNavy(0, 0, 128);
const QColor kBlue(0, 0, 255);
const QColor kCyan(0, 255, 255);
const QColor kTeal(0, 128, 128);

QImage canvas(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

// A folder with a magnifying glass over its lower right corner; `s` is the
// picture's edge (16 or 32), everything is scaled from a 32-pixel drawing.
QImage windowIcon(int s)
{
    QImage image = canvas(s, s);
    QPainter p(&image);
    p.scale(s / 32.0, s / 32.0);
    p.setPen(QPen(kBlack, s == 16 ? 2 : 1));
    // Folder back with its tab, then the front flap.
    p.setBrush(kOlive);
    p.drawPolygon(QPolygon({{1, 7}, {11, 7}, {13, 4}, {1, 4}}));
    p.drawRect(1, 7, 26, 19);
    p.setBrush(kYellow);
    p.drawPolygon(QPolygon({{1, 26}, {4, 11}, {30, 11}, {27, 26}}));
    // Magnifier: handle first, then the lens.
    p.setPen(QPen(kBlack, 1));
    p.setBrush(kGray);
    p.drawPolygon(QPolygon({{24, 24}, {30, 30}, {31, 28}, {26, 22}}));
    p.setPen(QPen(kBlack, s == 16 ? 2 : 2));
    p.setBrush(kCyan);
    p.drawEllipse(QRect(13, 13, 13, 13));
    p.setPen(QPen(kWhite, 1));
    p.drawLine(16, 18, 18, 16);
    return image;
}

// The word "Velmaro" on a dark blue plate with a red stroke under it, 74 x 30.
QImage logo(int scale)
{
    QImage image = canvas(74 * scale, 30 * scale);
    QPainter p(&image);
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient plate(0, 0, 74, 30);
    plate.setColorAt(0, QColor(0, 0, 128));
    plate.setColorAt(1, QColor(0, 64, 160));
    p.setPen(QPen(kBlack, 1));
    p.setBrush(plate);
    p.drawRoundedRect(QRectF(0.5, 0.5, 73, 29), 5, 5);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(15);
    font.setBold(true);
    font.setItalic(true);
    p.setFont(font);
    const QRect text(0, 0, 74, 25);
    p.setPen(QColor(0, 0, 40));
    p.drawText(text.translated(1, 1), Qt::AlignCenter, QStringLiteral("Velmaro"));
    p.setPen(kWhite);
    p.drawText(text, Qt::AlignCenter, QStringLiteral("Velmaro"));
    p.setPen(QPen(kRed, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 24), QPointF(64, 24));
    return image;
}

// A pointing hand, fingertip at (10, 1) (the cursor's hot spot), 32 x 32.
QImage cursor()
{
    QImage image = canvas(32, 32);
    QPainter p(&image);
    const QPolygon hand({{8, 2},   {9, 1},   {11, 1},  {12, 2},  {12, 11}, {13, 10},
                         {15, 10}, {16, 11}, {16, 12}, {17, 11}, {19, 11}, {20, 12},
                         {20, 13}, {21, 12}, {23, 12}, {24, 13}, {24, 22}, {22, 26},
                         {22, 29}, {11, 29}, {11, 26}, {5, 19},  {4, 17},  {4, 15},
                         {5, 14},  {7, 14},  {8, 16}});
    p.setPen(kBlack);
    p.setBrush(kWhite);
    p.drawPolygon(hand);
    p.drawLine(12, 11, 12, 17);
    p.drawLine(16, 12, 16, 17);
    p.drawLine(20, 13, 20, 17);
    p.setBrush(kGray);
    p.drawRect(11, 27, 11, 2);
    return image;
}

// A red octagon with a white rim and a white bar, 24 x 24.
QImage stopSymbol(int scale)
{
    QImage image = canvas(24 * scale, 24 * scale);
    QPainter p(&image);
    p.scale(scale, scale);
    const QPolygon octagon({{7, 0}, {16, 0}, {23, 7}, {23, 16}, {16, 23}, {7, 23}, {0, 16}, {0, 7}});
    p.setPen(kMaroon);
    p.setBrush(kRed);
    p.drawPolygon(octagon);
    p.setPen(kWhite);
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(QPolygon({{8, 2}, {15, 2}, {21, 8}, {21, 15}, {15, 21}, {8, 21}, {2, 15}, {2, 8}}));
    p.fillRect(5, 10, 14, 4, kWhite);
    return image;
}

// A blue disc with a white "i", 24 x 24.
QImage propertiesSymbol(int scale)
{
    QImage image = canvas(24 * scale, 24 * scale);
    QPainter p(&image);
    p.scale(scale, scale);
    p.setPen(kNavy);
    p.setBrush(kBlue);
    p.drawEllipse(QRect(1, 1, 21, 21));
    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    p.drawRect(10, 5, 4, 3);
    p.drawRect(10, 10, 4, 9);
    p.drawRect(8, 10, 2, 2);
    p.drawRect(8, 17, 8, 2);
    return image;
}

// An hourglass with sand running down, 32 x 32.
QImage hourglass(int scale)
{
    QImage image = canvas(32 * scale, 32 * scale);
    QPainter p(&image);
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kBlack, 1));
    p.setBrush(QColor(230, 245, 255));
    QPainterPath glass;
    glass.moveTo(8, 4);
    glass.lineTo(24, 4);
    glass.cubicTo(24, 12, 17, 14, 17, 16);
    glass.cubicTo(17, 18, 24, 20, 24, 28);
    glass.lineTo(8, 28);
    glass.cubicTo(8, 20, 15, 18, 15, 16);
    glass.cubicTo(15, 14, 8, 12, 8, 4);
    p.drawPath(glass);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 190, 60));
    p.drawPolygon(QPolygonF({{11.5, 9}, {20.5, 9}, {16.5, 14.5}, {15.5, 14.5}}));
    p.drawRect(QRectF(15.6, 15, 0.8, 8));
    QPainterPath heap;
    heap.moveTo(9.5, 27.5);
    heap.quadTo(16, 19, 22.5, 27.5);
    p.drawPath(heap);
    p.setPen(QPen(kBlack, 1));
    p.setBrush(QColor(140, 80, 30));
    p.drawRoundedRect(QRectF(5.5, 1.5, 21, 3), 1, 1);
    p.drawRoundedRect(QRectF(5.5, 27.5, 21, 3), 1, 1);
    return image;
}

bool save(const QImage& image, const QDir& dir, const char* name)
{
    const bool ok = image.save(dir.filePath(QString::fromLatin1(name)), "PNG");
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", name);
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    bool ok = save(windowIcon(32), dir, "velmaro-32.png");
    ok = save(windowIcon(16), dir, "velmaro-16.png") && ok;
    ok = save(windowIcon(64), dir, "velmaro-32@2x.png") && ok;
    ok = save(windowIcon(32), dir, "velmaro-16@2x.png") && ok;
    ok = save(cursor(), dir, "cursor.png") && ok;
    const struct {
        QImage (*draw)(int scale);
        const char* name;
    } scalable[] = {{logo, "logo"}, {stopSymbol, "stop"}, {propertiesSymbol, "properties"},
                    {hourglass, "hourglass"}};
    for (const auto& picture : scalable) {
        for (int scale : {1, 2}) {
            const QByteArray file = QByteArray(picture.name) + (scale == 2 ? "@2x.png" : ".png");
            ok = save(picture.draw(scale), dir, file.constData()) && ok;
        }
    }
    return ok ? 0 : 1;
}
