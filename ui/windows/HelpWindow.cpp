#include "HelpWindow.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QImage>
#include <QScreen>
#include <QScrollBar>
#include <QShowEvent>
#include <QStyle>
#include <QTextDocument>
#include <QVBoxLayout>

namespace qmx::ui {

namespace {

// Narrowest room a picture is shrunk to, however small the window.
constexpr int kMinimumPictureWidth = 200;

std::string_view problemTextId(manual::MhtError error)
{
    switch (error) {
    case manual::MhtError::NotMime:
        return "IDS_HelpNotAnArchive";
    case manual::MhtError::NoParts:
        return "IDS_HelpArchiveEmpty";
    case manual::MhtError::NoHtml:
        return "IDS_HelpArchiveWithoutPage";
    }
    return {};
}

} // namespace

ManualView::ManualView(QWidget* parent) : QTextBrowser(parent)
{
    // Links are followed here: inside the page, or handed to the desktop (web, mail).
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &ManualView::followLink);
}

void ManualView::navigate(const QUrl& address)
{
    m_address = address;
    m_archive.reset();
    if (!address.isLocalFile()) {
        showProblem(text("IDS_HelpAddressNotAFile"), address.toString());
        return;
    }
    const QString path = address.toLocalFile();
    QFile file(path);
    if (!file.exists()) {
        showProblem(text("IDS_HelpFileMissing"), QDir::toNativeSeparators(path));
        return;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        showProblem(text("IDS_HelpFileUnreadable").arg(file.errorString()),
                    QDir::toNativeSeparators(path));
        return;
    }
    manual::MhtError error{};
    m_archive = manual::MhtArchive::parse(file.readAll(), &error);
    if (!m_archive) {
        showProblem(text(problemTextId(error)), QDir::toNativeSeparators(path));
        return;
    }
    setHtml(m_archive->rootHtml());
    scrollToTop();
}

QVariant ManualView::loadResource(int type, const QUrl& name)
{
    if (!m_archive) {
        return {};
    }
    const manual::MhtResource* resource = m_archive->find(name);
    if (!resource) {
        return {};
    }
    if (type == QTextDocument::ImageResource) {
        QImage image = QImage::fromData(resource->data);
        // Pictures wider than the page are shrunk to fit, so the window needs no sideways scrolling.
        // The page is laid out before the vertical scroll bar appears, so its width is kept free.
        const int scrollBar = verticalScrollBar()->isVisible() ? 0 : style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        const int room = std::max(kMinimumPictureWidth, viewport()->width() - scrollBar
                                                            - 2 * static_cast<int>(document()->documentMargin()) - 4);
        if (!image.isNull() && image.width() > room) {
            image = image.scaledToWidth(room, Qt::SmoothTransformation);
        }
        return image;
    }
    if (type == QTextDocument::StyleSheetResource) {
        return manual::decodeText(resource->data, resource->charset);
    }
    return {};
}

void ManualView::showProblem(const QString& what, const QString& detail)
{
    const QString polishManual = QString::fromLatin1(HelpWindow::kManualFileName);
    const QString restore = m_language == lang::Language::English
                                ? text("IDS_HelpHowToRestore")
                                      .arg(polishManual, QString::fromLatin1(HelpWindow::kEnglishManualFileName))
                                : text("IDS_HelpHowToRestore").arg(polishManual);
    setHtml(QStringLiteral("<h2>%1</h2><p>%2</p><p><code>%3</code></p><p>%4</p>")
                .arg(text("IDS_HelpCannotShow").toHtmlEscaped(), what.toHtmlEscaped(), detail.toHtmlEscaped(),
                     restore));
    scrollToTop();
}

void ManualView::followLink(const QUrl& link)
{
    if (link.isRelative() && link.path().isEmpty() && link.hasFragment()) {
        scrollToAnchor(link.fragment());
        return;
    }
    const QString scheme = link.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("mailto")) {
        QDesktopServices::openUrl(link);
    }
    // Other links (to files on the disk, to other pages) are not followed: the manual is one page.
}

void ManualView::scrollToTop()
{
    moveCursor(QTextCursor::Start);
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
}

HelpWindow::HelpWindow(QWidget* parent) : HelpWindow(QCoreApplication::applicationDirPath(), parent) {}

HelpWindow::HelpWindow(QString manualFolder, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                          | Qt::WindowCloseButtonHint),
      m_manualFolder(std::move(manualFolder))
{
    setObjectName(QStringLiteral("FHelp"));
    m_texts.bind(this, &QWidget::setWindowTitle, "IDS_HelpTitle");

    manualView = new ManualView(this);
    manualView->setObjectName(QStringLiteral("CppWebBrowser1"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(manualView);

    // Esc closes the window, as it closes the program's dialogs.
    auto* closeOnEscape = new QAction(this);
    closeOnEscape->setShortcut(QKeySequence(Qt::Key_Escape));
    closeOnEscape->setShortcutContext(Qt::WindowShortcut);
    connect(closeOnEscape, &QAction::triggered, this, &QWidget::close);
    addAction(closeOnEscape);

    resize(kInitialClientWidth, kInitialClientHeight);
    if (const QScreen* s = screen()) {
        move(s->availableGeometry().topLeft());
    }
}

QUrl HelpWindow::manualAddress(const QString& folder)
{
    return QUrl::fromLocalFile(QDir(folder).absoluteFilePath(QString::fromLatin1(kManualFileName)));
}

QUrl HelpWindow::manualAddress(const QString& folder, lang::Language language)
{
    if (language == lang::Language::English) {
        const QString english = QDir(folder).absoluteFilePath(QString::fromLatin1(kEnglishManualFileName));
        if (QFileInfo::exists(english)) {
            return QUrl::fromLocalFile(english);
        }
    }
    return manualAddress(folder);
}

void HelpWindow::showManual()
{
    if (isVisible()) {
        if (isMinimized()) {
            showNormal();
        }
        raise();
        activateWindow();
        return;
    }
    show();
}

void HelpWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // A spontaneous show comes from the window system (the window restored from the task bar);
    // only the program's own show is the hidden-to-shown change that reopens the manual.
    if (!event->spontaneous()) {
        refreshContents();
    }
}

void HelpWindow::setLanguage(lang::Language language)
{
    if (language == m_language) {
        return;
    }
    m_language = language;
    manualView->setLanguage(language);
    m_texts.apply();
    // A window on view shows the manual (or why it cannot) in the new language at once.
    if (isVisible()) {
        refreshContents();
    }
}

void HelpWindow::refreshContents()
{
    manualView->navigate(manualAddress(m_manualFolder, m_language));
}

} // namespace qmx::ui
