#pragma once
// The program's own pictures: the tab icons of the window's image list, the small pictures of the
// buttons and the program icon. All are SVG drawings kept as resources and rendered here at 1x and
// 2x, so they stay sharp at 100 % and 200 % scaling.

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace qmx::ui {

/// Number of tab pictures in the window's image list (ImageList1).
inline constexpr int kImageListSize = 7;
/// Edge of a tab picture, in logical pixels.
inline constexpr int kTabIconSize = 32;
/// Edge of a button picture, in logical pixels.
inline constexpr int kButtonIconSize = 16;

/// The tab picture at `index` of the image list: 0 Pomiary, 1 Wykres, 2 Rejestracja, 3 Ustawienia,
/// 4 Wejścia tensometryczne, 5 Komunikacja, 6 Wyjścia. A null icon for any other index.
QIcon imageListIcon(int index);

/// The small pictures beside button captions.
enum class ButtonPicture {
    Read,        ///< "Odczytaj"
    Save,        ///< "Zapisz"
    Factory,     ///< "Przywróć fabryczne"
    Zero,        ///< "Zero", "Zero 1 2 3 4"
    Tare,        ///< "Tara"
    ResetMax,    ///< "Reset Max"
    BigWindow,   ///< "Duże okno"
    Start,       ///< chart "Start"
    Pause,       ///< chart "Pauza"
    ChartReset,  ///< chart "Reset"
    Print,       ///< "Drukuj"
    PrintSetup,  ///< "Opcje wydruku"
    SaveImage,   ///< "Zapisz jako obraz"
    Help,        ///< "Pomoc"
    Folder,      ///< "Scieżka zapisu"
    Close,       ///< "Zamknij"
    Calibration, ///< analog output calibration
};
/// Every button picture, for walking them all.
inline constexpr ButtonPicture kButtonPictures[] = {
    ButtonPicture::Read,      ButtonPicture::Save,       ButtonPicture::Factory,   ButtonPicture::Zero,
    ButtonPicture::Tare,      ButtonPicture::ResetMax,   ButtonPicture::BigWindow, ButtonPicture::Start,
    ButtonPicture::Pause,     ButtonPicture::ChartReset, ButtonPicture::Print,     ButtonPicture::PrintSetup,
    ButtonPicture::SaveImage, ButtonPicture::Help,       ButtonPicture::Folder,    ButtonPicture::Close,
    ButtonPicture::Calibration};

/// A button picture, 16 × 16 at 1x and 2x.
QIcon buttonIcon(ButtonPicture picture);

/// The program icon (windows, about box, desktop entry), from 16 to 256 pixels.
QIcon programIcon();

/// Resource path of the program icon's drawing.
QString programIconResource();

/// Renders the SVG resource `resource` into a pixmap of `size` logical pixels at device pixel
/// ratio `dpr`. A null pixmap when the resource is missing or is not a valid drawing.
QPixmap renderSvg(const QString& resource, QSize size, qreal dpr);

} // namespace qmx::ui
