#include "ui/help_and_about/help_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "ui/common/text.h"

namespace waitline {

QString HelpMarkdown()
{
    QFile file(QStringLiteral(":/help/help.md"));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(WindowTitle(QCoreApplication::translate("Help", "Help")));
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("HelpText"));
    browser_->setOpenExternalLinks(true);
    browser_->setMarkdown(HelpMarkdown());
    browser_->setAccessibleName(QCoreApplication::translate("Help", "Help"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(browser_);
    resize(640, 600);

    auto* close = new QAction(this);
    close->setShortcuts(QKeySequence::Close);
    connect(close, &QAction::triggered, this, &QWidget::close);
    addAction(close);
}

void HelpWindow::keyPressEvent(QKeyEvent* event)
{
    // The text ignores Esc and passes it up to here, as a dialog would.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

QString HelpWindow::plainText() const { return browser_->toPlainText(); }

}  // namespace waitline
