#pragma once
// A readout label that never cuts its text off: the text is drawn in the label's designed font
// while it fits, and in a smaller size of the same font when it does not (a large value with
// decimals and a unit, a narrow window). The fit is made again whenever the text or the label's
// size changes, so a short text after a long one gets the designed size back.

#include <QFont>
#include <QLabel>

namespace qmx::ui {

class FittedLabel : public QLabel {
    Q_OBJECT
public:
    explicit FittedLabel(const QString& text, QWidget* parent = nullptr);

    /// The font the text is drawn in while it fits; the label takes it at once.
    void setDesignFont(const QFont& font);
    const QFont& designFont() const { return m_designFont; }
    /// Whether the text must fit the label's height too, not only its width (off by default).
    void setFitHeight(bool fit);
    /// Lets the text grow with the label: when the label's content is taller than `designHeight`
    /// pixels, the font it may take grows from the designed one in proportion to that height
    /// (still made smaller where the text would not fit the width). 0: never larger than designed.
    void setGrowBeyondHeight(int designHeight);
    /// The font the text may take at the label's present height: the designed one, or larger.
    QFont grownFont() const;
    /// Shows `text`, at the designed size if it fits, smaller otherwise.
    void setFittedText(const QString& text);

    /// The largest font, the designed one or a smaller size of it, in which `text` fits a room of
    /// `width` × `height` pixels (height 0: any height).
    static QFont fittedFont(const QFont& design, const QString& text, int width, int height);

    /// Sizes as for the designed font, so that a text drawn smaller never makes the label (and
    /// with it the room it is given) smaller too.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void refit();

    QFont m_designFont;
    bool m_fitHeight = false;
    int m_growBeyondHeight = 0;
};

} // namespace qmx::ui
