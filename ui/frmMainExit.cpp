// The way out: Exit, the close box, the end of the desktop session. A batch
// still under review is not ended behind the user's back.
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

#include "engine/Journal.h"
#include "ui/Forms.h"
#include "ui/Icons.h"
#include "ui/frmDir.h"
#include "ui/frmMain.h"

namespace {

bool reviewOpen() {
    return forms::isLoaded(forms::Form::Dir) && forms::frmDir().mode() == frmDir::Mode::Review;
}

}  // namespace

void frmMain::sessionEnding() {
    sessionEnding_ = true;
}

bool frmMain::endReviewBeforeClosing() {
    if (!reviewOpen()) {
        return true;
    }
    if (sessionEnding_) {
        // No one is there to answer: the next start offers the way back.
        journal::keepForNextStart();
        return true;
    }
    QMessageBox question(QMessageBox::Question, QStringLiteral("Quillomat"),
                         tr("The new names have not been accepted yet."), QMessageBox::NoButton,
                         this);
    question.setWindowIcon(icons::programIcon());
    QPushButton* accept = question.addButton(tr("&Accept"), QMessageBox::AcceptRole);
    QPushButton* undo = question.addButton(tr("&Undo"), QMessageBox::DestructiveRole);
    QPushButton* cancel = question.addButton(QMessageBox::Cancel);
    question.setDefaultButton(cancel);
    question.setEscapeButton(cancel);
    question.exec();
    if (question.clickedButton() == accept) {
        forms::frmDir().Command1_Click();
        return true;
    }
    if (question.clickedButton() == undo) {
        forms::frmDir().Command2_Click();
        // Files that could not go back keep the review open, with its report.
        return !reviewOpen();
    }
    return false;
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (!endReviewBeforeClosing()) {
        event->ignore();
        return;
    }
    // Closing the main window ends the program: no dialog may stay behind,
    // since a dialog writing to the main window would bring it back unseen.
    journal::close();
    forms::unloadDialogs();
    if (forms::isLoaded(forms::Form::Main) && &forms::frmMain() == this) {
        forms::unload(forms::Form::Main);
    }
    event->accept();
    QCoreApplication::quit();
}
