#pragma once
// Every text a window shows, gathered from its widgets, and a check that finds the Polish ones
// among them. Used by the tests that switch the interface to English.

#include "lang/StringTable.h"
#include "ui/widgets/HeaderBar.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <QTabWidget>
#include <QTableWidget>
#include <QWidget>

#include <qcustomplot.h>

namespace qmx::test {

/// One text on the screen and where it is (the object name of the widget or action).
struct ShownText {
    QString where;
    QString text;
};

namespace shown_texts_detail {

inline void add(QList<ShownText>& out, const QObject* object, const QString& what, const QString& text)
{
    if (!text.trimmed().isEmpty()) {
        const QString name = object->objectName().isEmpty() ? QString::fromLatin1(object->metaObject()->className())
                                                             : object->objectName();
        out.append({name + QLatin1Char('.') + what, text});
    }
}

// QCustomPlot's getters are not const, so the plot is taken as it is.
inline void addPlot(QList<ShownText>& out, QCustomPlot* plot)
{
    for (int i = 0; i < plot->plottableCount(); ++i) {
        add(out, plot, QStringLiteral("plottable"), plot->plottable(i)->name());
    }
    for (const QCPAxisRect* rect : plot->axisRects()) {
        for (const QCPAxis* axis : rect->axes()) {
            add(out, plot, QStringLiteral("axisLabel"), axis->label());
        }
    }
    for (int i = 0; i < plot->itemCount(); ++i) {
        if (const auto* text = qobject_cast<const QCPItemText*>(plot->item(i))) {
            add(out, plot, QStringLiteral("itemText"), text->text());
        }
    }
    if (plot->legend != nullptr) {
        for (int i = 0; i < plot->legend->itemCount(); ++i) {
            if (auto* item = qobject_cast<QCPPlottableLegendItem*>(plot->legend->item(i))) {
                add(out, plot, QStringLiteral("legend"), item->plottable()->name());
            }
        }
    }
}

inline void addWidget(QList<ShownText>& out, const QWidget* w)
{
    if (w->isWindow()) {
        add(out, w, QStringLiteral("windowTitle"), w->windowTitle());
    }
    add(out, w, QStringLiteral("toolTip"), w->toolTip());
    if (const auto* label = qobject_cast<const QLabel*>(w)) {
        add(out, w, QStringLiteral("text"), label->text());
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
        add(out, w, QStringLiteral("text"), button->text());
    } else if (const auto* edit = qobject_cast<const QLineEdit*>(w)) {
        add(out, w, QStringLiteral("text"), edit->text());
        add(out, w, QStringLiteral("placeholder"), edit->placeholderText());
    } else if (const auto* list = qobject_cast<const QComboBox*>(w)) {
        for (int i = 0; i < list->count(); ++i) {
            add(out, w, QStringLiteral("item"), list->itemText(i));
        }
    } else if (const auto* header = qobject_cast<const ui::HeaderBar*>(w)) {
        add(out, w, QStringLiteral("caption"), header->caption());
    } else if (const auto* plot = qobject_cast<const QCustomPlot*>(w)) {
        addPlot(out, const_cast<QCustomPlot*>(plot));
    } else if (const auto* listBox = qobject_cast<const QListWidget*>(w)) {
        for (int i = 0; i < listBox->count(); ++i) {
            add(out, w, QStringLiteral("item"), listBox->item(i)->text());
        }
    } else if (const auto* table = qobject_cast<const QTableWidget*>(w)) {
        for (int c = 0; c < table->columnCount(); ++c) {
            if (const auto* item = table->horizontalHeaderItem(c)) {
                add(out, w, QStringLiteral("columnHeader"), item->text());
            }
        }
        for (int r = 0; r < table->rowCount(); ++r) {
            if (const auto* item = table->verticalHeaderItem(r)) {
                add(out, w, QStringLiteral("rowHeader"), item->text());
            }
            for (int c = 0; c < table->columnCount(); ++c) {
                if (const auto* item = table->item(r, c)) {
                    add(out, w, QStringLiteral("cell"), item->text());
                }
            }
        }
    }
    if (const auto* group = qobject_cast<const QGroupBox*>(w)) {
        add(out, w, QStringLiteral("title"), group->title());
    }
    if (const auto* tabs = qobject_cast<const QTabWidget*>(w)) {
        for (int i = 0; i < tabs->count(); ++i) {
            add(out, w, QStringLiteral("tab"), tabs->tabText(i));
            add(out, w, QStringLiteral("tabToolTip"), tabs->tabToolTip(i));
        }
    }
    if (const auto* menu = qobject_cast<const QMenu*>(w)) {
        add(out, w, QStringLiteral("title"), menu->title());
    }
}

} // namespace shown_texts_detail

/// Every text `root` and the widgets and actions inside it show or can show: window titles,
/// captions, button texts, edits, list items, tab captions, menus, tool tips, table headers and
/// cells, chart series and axis labels. Hidden widgets count too (a page not on view is shown by a
/// click).
inline QList<ShownText> shownTexts(const QWidget* root)
{
    QList<ShownText> out;
    shown_texts_detail::addWidget(out, root);
    for (const QWidget* w : root->findChildren<QWidget*>()) {
        shown_texts_detail::addWidget(out, w);
    }
    for (const QAction* action : root->findChildren<QAction*>()) {
        shown_texts_detail::add(out, action, QStringLiteral("text"), action->text());
        if (action->toolTip() != action->text() && action->toolTip() != QString(action->text()).remove(u'&')) {
            shown_texts_detail::add(out, action, QStringLiteral("toolTip"), action->toolTip());
        }
    }
    return out;
}

/// The words of `text`: runs of three letters or more, in lower case.
inline QSet<QString> wordsOf(const QString& text)
{
    static const QRegularExpression word(QStringLiteral("\\p{L}{3,}"));
    QSet<QString> words;
    for (auto it = word.globalMatch(text.toLower()); it.hasNext();) {
        words.insert(it.next().captured());
    }
    return words;
}

/// The words of the string table's English texts.
inline const QSet<QString>& englishTableWords()
{
    static const QSet<QString> words = [] {
        QSet<QString> english;
        for (const auto& entry : lang::stringTable()) {
            english += wordsOf(QString::fromUtf8(entry.english.data(), static_cast<qsizetype>(entry.english.size())));
        }
        return english;
    }();
    return words;
}

/// The Polish vocabulary of some windows: the words of the string table's Polish texts and of
/// every text the windows show now (in Polish), less the words the English texts use too.
inline QSet<QString> polishWordsShownBy(const QList<const QWidget*>& roots)
{
    QSet<QString> polish;
    for (const auto& entry : lang::stringTable()) {
        polish += wordsOf(QString::fromUtf8(entry.polish.data(), static_cast<qsizetype>(entry.polish.size())));
    }
    for (const QWidget* root : roots) {
        for (const auto& shown : shownTexts(root)) {
            polish += wordsOf(shown.text);
        }
    }
    return polish - englishTableWords();
}

/// Whether `text` is Polish: it has a Polish letter or one of `polishWords`.
inline bool looksPolish(const QString& text, const QSet<QString>& polishWords)
{
    static const QString letters = QStringLiteral("ąćęłńóśźżĄĆĘŁŃÓŚŹŻ");
    for (const QChar c : text) {
        if (letters.contains(c)) {
            return true;
        }
    }
    return wordsOf(text).intersects(polishWords);
}

/// The texts of `root` that are Polish, as "where: text" lines (empty when there is none).
/// `allowed` are texts that stay as they are in every language (the transducer's own texts).
inline QStringList polishTextsIn(const QWidget* root, const QSet<QString>& polishWords, const QStringList& allowed = {})
{
    QStringList found;
    for (const auto& shown : shownTexts(root)) {
        if (!allowed.contains(shown.text) && looksPolish(shown.text, polishWords)) {
            found << shown.where + QStringLiteral(": ") + shown.text;
        }
    }
    return found;
}

} // namespace qmx::test
