#pragma once
// The large readout: the selected value with its unit, its name and the transducer's maximum, in
// digits that scale with the window. Its texts are written by the main window's display tick.

#include "display/LiveDisplay.h"
#include "lang/StringTable.h"
#include "ui/widgets/FittedLabel.h"
#include "ui/widgets/TextBindings.h"

#include <QWidget>

#include <optional>

class QPushButton;

namespace qmx::ui {

class HeaderBar;

class LargeReadoutWindow : public QWidget {
    Q_OBJECT
public:
    explicit LargeReadoutWindow(QWidget* parent = nullptr);

    /// Puts every caption of the window into `language` (and shows later texts in it).
    void setLanguage(lang::Language language);
    /// Names the value shown, `selection`, above the digits (in the window's language).
    void showSelectionCaption(display::DisplaySelection selection);

    /// Client area the window is designed for; it opens smaller where the screen is smaller.
    static constexpr int kDesignWidth = 1098;
    static constexpr int kDesignHeight = 251;

    /// Point size of the digits for a window of the given outer size. A text that does not fit at
    /// this size is drawn smaller (see FittedLabel).
    static int digitPointSize(int outerWidth, int outerHeight) { return outerWidth / 16 + outerHeight / 8; }

    HeaderBar* captionHeader = nullptr;
    FittedLabel* valueReadout = nullptr;
    FittedLabel* maxValueReadout = nullptr;
    QPushButton* resetMaxButton = nullptr;

signals:
    /// "Reset Max" was pressed; the main window sends the reset.
    void resetMaxRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void fitDigitsToSize();
    /// Shrinks the window, where needed, so that it lies within the available screen area.
    void keepWithinScreen();

    bool m_shownBefore = false;
    // The value named above the digits; none until the display tick has named one.
    std::optional<display::DisplaySelection> m_shownSelection;
    lang::Language m_language = lang::Language::Polish;
    TextBindings m_texts{[this](std::string_view id) { return lang::lookupText(id, m_language); }};
};

} // namespace qmx::ui
