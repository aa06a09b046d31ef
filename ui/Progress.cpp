#include "ui/Progress.h"

#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
#include <QWidget>

#include "ui/Forms.h"
#include "ui/FrameHints.h"

namespace {
struct Text {
    Q_DECLARE_TR_FUNCTIONS(Progress)
};
constexpr qint64 kQuietMs = 500;   // work shorter than this shows nothing
constexpr qint64 kRepaintMs = 40;  // a new count at most this often
}  // namespace

ProgressSystem::ProgressSystem(platform::BatchSystem& real, int total, QWidget& owner)
    : real_(real), total_(total), owner_(owner) {
    clock_.start();
}

ProgressSystem::~ProgressSystem() = default;

void ProgressSystem::advance() {
    // A retried or reserved name may rename twice: the count stops at the total.
    done_ = std::min(done_ + 1, total_);
    const qint64 now = clock_.elapsed();
    if (now < kQuietMs || (now - paintedAt_ < kRepaintMs && done_ < total_)) {
        return;
    }
    paintedAt_ = now;
    if (!window_) {
        // Inside the main window, which is on screen already: a window of its
        // own would be painted only once the window system's events, which
        // are not handled now, said it is shown.
        auto* frame = new QFrame(&owner_);
        window_.reset(frame);
        frame->setObjectName(QStringLiteral("frmProgress"));
        frame->setFrameShape(QFrame::Box);
        frame->setAutoFillBackground(true);
        auto* layout = new QVBoxLayout(frame);
        count_ = new QLabel(frame);
        bar_ = new QProgressBar(frame);
        bar_->setRange(0, total_);
        bar_->setTextVisible(false);
        layout->addWidget(count_);
        layout->addWidget(bar_);
        frame->setFixedWidth(owner_.width() / 2);
        frame->adjustSize();
        frame->move((owner_.width() - frame->width()) / 2, (owner_.height() - frame->height()) / 2);
        frame->show();
        frame->raise();
    }
    count_->setText(Text::tr("%1 of %2").arg(done_).arg(total_));
    bar_->setValue(done_);
    // No event is handled until the work ends: paint now.
    window_->repaint();
    framehints::sendNow();
}

platform::Status ProgressSystem::renameIn(const platform::PinnedDirectory& dir, QStringView from,
                                          QStringView to, const platform::Fingerprint* known) {
    const platform::Status status = real_.renameIn(dir, from, to, known);
    advance();
    return status;
}
