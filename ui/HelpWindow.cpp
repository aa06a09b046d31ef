#include "ui/HelpWindow.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "ui/Forms.h"
#include "ui/Help.h"
#include "ui/Icons.h"

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent), browser_(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowFlags(Qt::Window);
    setWindowIcon(icons::programIcon());

    browser_->setObjectName(QStringLiteral("browser"));
    browser_->setAccessibleName(tr("User guide"));
    // The contents lead to the sections: a browser follows its links itself.
    browser_->setHtml(help::guideHtml());
    setWindowTitle(browser_->documentTitle());  // "Quillomat Help"
    auto* close = new QPushButton(tr("&Close"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(browser_);
    layout->addWidget(close, 0, Qt::AlignRight);

    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    browser_->setFocus();
}

void HelpWindow::Form_Load() {
    // About forty lines of text at a width that reads well.
    const QFontMetrics metrics(browser_->font());
    resize(metrics.averageCharWidth() * 90, metrics.lineSpacing() * 40);
    forms::centreOnScreen(this);
}

void HelpWindow::showContents() {
    browser_->verticalScrollBar()->setValue(0);
    forms::showModeless(*this);
}

void HelpWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    forms::unloadIfInstance(forms::Form::Help, this);
}
