// Draws the title bar's images and the window icon, so that they can be
// regenerated from code rather than edited by hand:
//
//   make-images <image-folder> <icon-file> [<desktop-icon-png>]
//
// writes min.png, max.png, restore.png, close.png (30 x 30 button glyphs,
// light lines for the dark blue bar), logo_title.png (180 x 60, transparent),
// a multi-size Windows icon and, when asked, the same artwork as a 256 x 256
// PNG for the desktop's icon theme. Needs no display.

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QVector>

#include <cstdio>
#include <functional>

namespace {

const QColor kGlyphColour(236, 241, 255);
const QColor kAccentColour(120, 220, 170);
const QColor kBarBlue(4, 12, 89);
constexpr int kButtonSide = 30;

QImage blankImage(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QPen glyphPen(qreal width) {
    QPen pen(kGlyphColour, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

// Draws one 30 x 30 button glyph with an antialiased light pen.
QImage buttonGlyph(const std::function<void(QPainter&)>& draw) {
    QImage image = blankImage(kButtonSide, kButtonSide);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    draw(painter);
    return image;
}

QImage minimiseGlyph() {
    return buttonGlyph([](QPainter& p) {
        p.setPen(glyphPen(1.6));
        p.drawLine(QPointF(9.5, 15.5), QPointF(20.5, 15.5));
    });
}

QImage maximiseGlyph() {
    return buttonGlyph([](QPainter& p) {
        p.setPen(glyphPen(1.4));
        p.drawRoundedRect(QRectF(9.5, 9.5, 11, 11), 1, 1);
    });
}

QImage restoreGlyph() {
    return buttonGlyph([](QPainter& p) {
        p.setPen(glyphPen(1.4));
        // The window behind shows only its top and right edges.
        QPainterPath back;
        back.moveTo(12.5, 10.5);
        back.lineTo(12.5, 8.5);
        back.lineTo(21.5, 8.5);
        back.lineTo(21.5, 17.5);
        back.lineTo(19.5, 17.5);
        p.drawPath(back);
        p.drawRoundedRect(QRectF(8.5, 12.5, 9, 9), 1, 1);
    });
}

QImage closeGlyph() {
    return buttonGlyph([](QPainter& p) {
        p.setPen(glyphPen(1.6));
        p.drawLine(QPointF(10, 10), QPointF(20, 20));
        p.drawLine(QPointF(20, 10), QPointF(10, 20));
    });
}

// The detector mark: a sensor head with gas waves rising from it, drawn in a
// square of the given side at the given origin.
void drawDetectorMark(QPainter& p, const QPointF& origin, qreal side, const QColor& body,
                      const QColor& accent) {
    const qreal u = side / 40.0;
    p.save();
    p.translate(origin);
    p.scale(u, u);
    p.setBrush(Qt::NoBrush);

    QPen bodyPen(body, 2.6);
    bodyPen.setJoinStyle(Qt::RoundJoin);
    bodyPen.setCapStyle(Qt::RoundCap);
    p.setPen(bodyPen);
    p.drawRoundedRect(QRectF(9, 17, 22, 20), 4, 4);

    p.setPen(Qt::NoPen);
    p.setBrush(accent);
    p.drawEllipse(QPointF(20, 27), 4.2, 4.2);

    QPen wavePen(accent, 2.4);
    wavePen.setCapStyle(Qt::RoundCap);
    p.setPen(wavePen);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(13, 6, 14, 14), 40 * 16, 100 * 16);
    p.drawArc(QRectF(7, 0, 26, 26), 45 * 16, 90 * 16);
    p.restore();
}

QImage logoImage() {
    QImage image = blankImage(180, 60);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawDetectorMark(p, QPointF(6, 9), 42, kGlyphColour, kAccentColour);

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(30);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
    p.setFont(font);
    p.setPen(kGlyphColour);
    p.drawText(QRectF(52, 0, 128, 60), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("ventrix"));
    return image;
}

// One square of the window icon: the detector mark on the bar's blue.
QImage iconImage(int side) {
    QImage image = blankImage(side, side);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kBarBlue);
    const qreal radius = side * 0.18;
    p.drawRoundedRect(QRectF(0, 0, side, side), radius, radius);
    drawDetectorMark(p, QPointF(side * 0.05, side * 0.02), side * 0.9, kGlyphColour, kAccentColour);
    return image;
}

bool savePng(const QImage& image, const QString& path) {
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "make-images: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

void appendLe16(QByteArray& out, quint16 value) {
    out.append(char(value & 0xFF));
    out.append(char(value >> 8));
}

void appendLe32(QByteArray& out, quint32 value) {
    appendLe16(out, quint16(value & 0xFFFF));
    appendLe16(out, quint16(value >> 16));
}

// One icon image as a 32-bit DIB: an info header with the doubled height the
// format expects, the BGRA rows bottom-up, then an all-clear AND mask (the
// alpha channel carries the transparency).
QByteArray dibImage(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int side = image.width();
    const int maskRowBytes = (side + 31) / 32 * 4;
    QByteArray out;
    appendLe32(out, 40);
    appendLe32(out, side);
    appendLe32(out, 2 * side);
    appendLe16(out, 1);
    appendLe16(out, 32);
    appendLe32(out, 0);
    appendLe32(out, side * side * 4 + maskRowBytes * side);
    for (int i = 0; i < 4; ++i) {
        appendLe32(out, 0);
    }
    for (int y = side - 1; y >= 0; --y) {
        for (int x = 0; x < side; ++x) {
            const QRgb pixel = image.pixel(x, y);
            out.append(char(qBlue(pixel)));
            out.append(char(qGreen(pixel)));
            out.append(char(qRed(pixel)));
            out.append(char(qAlpha(pixel)));
        }
    }
    out.append(QByteArray(maskRowBytes * side, '\0'));
    return out;
}

QByteArray pngImage(const QImage& image) {
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return out;
}

// A Windows icon file with one square image per side: a 6-byte header, one
// 16-byte directory entry per image, then the images. The 256-pixel image is
// stored as PNG, as Windows expects for that size; the smaller ones as DIBs,
// which every reader of the format understands.
bool writeIcon(const QVector<int>& sides, const QString& path) {
    QByteArray header;
    appendLe16(header, 0);
    appendLe16(header, 1);
    appendLe16(header, quint16(sides.size()));
    QByteArray directory;
    QByteArray data;
    const int dataStart = 6 + 16 * sides.size();
    for (int side : sides) {
        const QImage image = iconImage(side);
        const QByteArray bytes = side >= 256 ? pngImage(image) : dibImage(image);
        directory.append(char(side >= 256 ? 0 : side));
        directory.append(char(side >= 256 ? 0 : side));
        directory.append(char(0));
        directory.append(char(0));
        appendLe16(directory, 1);
        appendLe16(directory, 32);
        appendLe32(directory, bytes.size());
        appendLe32(directory, dataStart + data.size());
        data += bytes;
    }

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(header + directory + data) < 0) {
        std::fprintf(stderr, "make-images: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication application(argc, argv);
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr,
                     "usage: make-images <image-folder> <icon-file> [<desktop-icon-png>]\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const bool ok = savePng(minimiseGlyph(), folder.filePath(QStringLiteral("min.png"))) &&
                    savePng(maximiseGlyph(), folder.filePath(QStringLiteral("max.png"))) &&
                    savePng(restoreGlyph(), folder.filePath(QStringLiteral("restore.png"))) &&
                    savePng(closeGlyph(), folder.filePath(QStringLiteral("close.png"))) &&
                    savePng(logoImage(), folder.filePath(QStringLiteral("logo_title.png"))) &&
                    writeIcon({16, 24, 32, 48, 64, 128, 256}, QString::fromLocal8Bit(argv[2])) &&
                    (argc == 3 || savePng(iconImage(256), QString::fromLocal8Bit(argv[3])));
    return ok ? 0 : 1;
}
