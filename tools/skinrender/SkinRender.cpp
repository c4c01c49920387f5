// nrx-skinrender: turns one vector source of the skin into the image file a panel loads, plus its 2x twin.
//
//   nrx-skinrender SOURCE.svg OUTPUT.(png|jpg) [WIDTH HEIGHT]
//
// OUTPUT is written at WIDTH x HEIGHT (the source's own size when omitted) and OUTPUT's stem + "@2x" at twice
// that, which is the name Qt looks for on high-density screens. JPEG has no transparency, so a JPEG is
// rendered over opaque black. Exit code 0 on success; a message on stderr and 1 otherwise, so a broken
// source stops the build instead of shipping a blank image.
#include <QFileInfo>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

namespace {
int Fail(const QString& message) {
    std::fprintf(stderr, "nrx-skinrender: %s\n", qPrintable(message));
    return 1;
}

QString TwinName(const QString& output) {
    const QFileInfo info(output);
    return info.path() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral("@2x.") + info.suffix();
}

bool Render(QSvgRenderer& svg, const QSize& size, bool opaque, const QString& output) {
    QImage image(size, opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    image.fill(opaque ? Qt::black : Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    svg.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    return image.save(output, nullptr, opaque ? 92 : -1);
}
} // namespace

int main(int argc, char* argv[]) {
    // Shapes only (the sources hold no text), so no windowing system is needed: builds run without a display.
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3 && args.size() != 5)
        return Fail(QStringLiteral("usage: nrx-skinrender SOURCE.svg OUTPUT.(png|jpg) [WIDTH HEIGHT]"));

    QSvgRenderer svg(args.at(1));
    if (!svg.isValid()) return Fail(QStringLiteral("cannot read the vector source %1").arg(args.at(1)));
    QSize size = svg.defaultSize();
    if (args.size() == 5) size = QSize(args.at(3).toInt(), args.at(4).toInt());
    if (size.isEmpty()) return Fail(QStringLiteral("no usable size for %1").arg(args.at(1)));

    const QString output = args.at(2);
    const QString suffix = QFileInfo(output).suffix().toLower();
    const bool opaque = suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg");
    if (!opaque && suffix != QLatin1String("png")) return Fail(QStringLiteral("unsupported output %1").arg(output));

    if (!Render(svg, size, opaque, output)) return Fail(QStringLiteral("cannot write %1").arg(output));
    if (!Render(svg, size * 2, opaque, TwinName(output)))
        return Fail(QStringLiteral("cannot write %1").arg(TwinName(output)));
    return 0;
}
