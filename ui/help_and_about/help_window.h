#pragma once

#include <QWidget>

class QTextBrowser;

namespace waitline {

// The short help that F1 opens: how to read the demo and what the controls
// do, in the same words as the README, from which the build takes them.
// A separate, resizable window; Esc closes it.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // The help as plain text, for tests and tools.
    QString plainText() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QTextBrowser* browser_ = nullptr;
};

// The help's Markdown, built into the program.
QString HelpMarkdown();

}  // namespace waitline
