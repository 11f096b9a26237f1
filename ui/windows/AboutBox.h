#pragma once
// The about box: program name, version and purpose, and the maker lines.

#include "lang/StringTable.h"
#include "ui/widgets/TextBindings.h"

#include <QDialog>
#include <QStringList>

class QLabel;
class QPushButton;
class QShowEvent;
class QTextEdit;

namespace qmx::ui {

class AboutBox : public QDialog {
    Q_OBJECT
public:
    /// Fixed client area of the box.
    static constexpr int kClientWidth = 476;
    static constexpr int kClientHeight = 228;

    explicit AboutBox(QWidget* parent = nullptr);

    /// Puts every caption of the window into `language` (and shows later texts in it).
    void setLanguage(lang::Language language);

    /// The five lines that infoText shows in `language`, in order.
    static QStringList infoLines(lang::Language language = lang::Language::Polish);

    /// Shows the box modally, centred over `owner` (or where it is when `owner` is null); returns
    /// when the box has been closed.
    void showModalOver(QWidget* owner);

    QTextEdit* infoText = nullptr;
    QLabel* logoLabel = nullptr;
    QLabel* makerNameLabel = nullptr;
    QLabel* makerSiteLabel = nullptr;
    QLabel* makerMailLabel = nullptr;
    QPushButton* closeButton = nullptr;

public slots:
    /// "Zamknij" ("Close"): closes the box, which ends its modal display.
    void closeBox();

protected:
    void showEvent(QShowEvent* event) override;

private:
    /// Runs each time the box goes from hidden to visible: fills infoText afresh.
    void refreshContents();
    lang::Language m_language = lang::Language::Polish;
    TextBindings m_texts{[this](std::string_view id) { return lang::lookupText(id, m_language); }};
};

} // namespace qmx::ui
