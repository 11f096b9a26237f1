#include "Icons.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <array>
#include <initializer_list>

// Resources compiled into a static library are registered only when something refers to them.
static void initIconResources()
{
    Q_INIT_RESOURCE(icons);
}

namespace qmx::ui {

namespace {

constexpr std::array<const char*, kImageListSize> kTabResources{
    ":/icons/tab-measurement.svg",   ":/icons/tab-chart.svg",         ":/icons/tab-recording.svg",
    ":/icons/tab-settings.svg",      ":/icons/tab-sensor-inputs.svg", ":/icons/tab-communication.svg",
    ":/icons/tab-outputs.svg"};

const char* buttonResource(ButtonPicture picture)
{
    switch (picture) {
    case ButtonPicture::Read: return ":/icons/btn-read.svg";
    case ButtonPicture::Save: return ":/icons/btn-save.svg";
    case ButtonPicture::Factory: return ":/icons/btn-factory.svg";
    case ButtonPicture::Zero: return ":/icons/btn-zero.svg";
    case ButtonPicture::Tare: return ":/icons/btn-tare.svg";
    case ButtonPicture::ResetMax: return ":/icons/btn-reset-max.svg";
    case ButtonPicture::BigWindow: return ":/icons/btn-big-window.svg";
    case ButtonPicture::Start: return ":/icons/btn-start.svg";
    case ButtonPicture::Pause: return ":/icons/btn-pause.svg";
    case ButtonPicture::ChartReset: return ":/icons/btn-chart-reset.svg";
    case ButtonPicture::Print: return ":/icons/btn-print.svg";
    case ButtonPicture::PrintSetup: return ":/icons/btn-print-setup.svg";
    case ButtonPicture::SaveImage: return ":/icons/btn-save-image.svg";
    case ButtonPicture::Help: return ":/icons/btn-help.svg";
    case ButtonPicture::Folder: return ":/icons/btn-folder.svg";
    case ButtonPicture::Close: return ":/icons/btn-close.svg";
    case ButtonPicture::Calibration: return ":/icons/btn-calibration.svg";
    }
    return "";
}

// One pixmap per size at 1x and 2x: QIcon picks the one that matches the screen's scaling
// instead of stretching a single bitmap.
QIcon iconFromSvg(const QString& resource, std::initializer_list<int> sizes)
{
    QIcon icon;
    for (const int size : sizes) {
        for (const qreal dpr : {1.0, 2.0}) {
            const QPixmap pixmap = renderSvg(resource, QSize(size, size), dpr);
            if (!pixmap.isNull()) {
                icon.addPixmap(pixmap);
            }
        }
    }
    return icon;
}

} // namespace

QPixmap renderSvg(const QString& resource, QSize size, qreal dpr)
{
    initIconResources();
    QSvgRenderer renderer(resource);
    if (!renderer.isValid() || size.isEmpty() || dpr <= 0) {
        return {};
    }
    QImage image(size * dpr, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(image.size())));
    }
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(dpr);
    return pixmap;
}

QIcon imageListIcon(int index)
{
    if (index < 0 || index >= kImageListSize) {
        return {};
    }
    return iconFromSvg(QString::fromLatin1(kTabResources[static_cast<std::size_t>(index)]), {kTabIconSize});
}

QIcon buttonIcon(ButtonPicture picture)
{
    return iconFromSvg(QString::fromLatin1(buttonResource(picture)), {kButtonIconSize});
}

QString programIconResource()
{
    return QStringLiteral(":/icons/qmx80net-pc.svg");
}

QIcon programIcon()
{
    return iconFromSvg(programIconResource(), {16, 24, 32, 48, 64, 128, 256});
}

} // namespace qmx::ui
