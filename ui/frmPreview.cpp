#include "ui/frmPreview.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QShortcut>

#include "ui/ChooserLists.h"
#include "ui/Forms.h"
#include "ui/Icons.h"
#include "ui/PreviewModel.h"
#include "ui_frmPreview.h"

frmPreview::frmPreview(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::frmPreview>()), model_(new PreviewModel(this)) {
    ui->setupUi(this);
    setWindowFlags(Qt::Window);
    setFont(forms::designFont());
    setWindowIcon(icons::programIcon());

    ui->tblNames->setModel(model_);
    // A thousand rows: one row height for all, measured once.
    ui->tblNames->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ui->tblNames->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    ui->tblNames->installEventFilter(this);
    ui->tblNames->setFocus();

    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    connect(ui->cmdClose, &QPushButton::clicked, this, &QWidget::close);
}

frmPreview::~frmPreview() = default;

namespace {
std::optional<QRect> lastPlace;
}  // namespace

std::optional<QRect> frmPreview::keptPlace() {
    return lastPlace;
}

void frmPreview::Form_Load() {
    // Placed beside the main window by the main window; back where it was.
    if (lastPlace) {
        forms::restorePlace(this, *lastPlace);
    }
}

void frmPreview::showPlan(const batch::Plan& plan, const QString& note) {
    const bool sameRows = model_->rowCount() == plan.steps.size();
    model_->setPlan(plan);
    const QString counts = chooser::displayName(batch::countsText(plan));
    forms::showWholeText(ui->lblCounts,
                         note.isEmpty() ? counts : counts + QStringLiteral(" (") + note + u')');
    if (!sameRows && model_->rowCount() > 0) {
        ui->tblNames->setCurrentIndex(model_->index(0, 0));
    }
}

void frmPreview::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!columnsSized_) {
        // The two names share the room the result leaves them; the user may
        // move the borders from there.
        columnsSized_ = true;
        const int width = ui->tblNames->viewport()->width();
        ui->tblNames->setColumnWidth(PreviewModel::OldName, width * 3 / 10);
        ui->tblNames->setColumnWidth(PreviewModel::NewName, width * 3 / 10);
    }
}

void frmPreview::closeEvent(QCloseEvent* event) {
    event->accept();
    lastPlace = QRect(frameGeometry().topLeft(), size());
    forms::unloadIfInstance(forms::Form::Preview, this);
}

bool frmPreview::eventFilter(QObject* watched, QEvent* event) {
    // The table's own Ctrl+C would copy the current cell alone.
    if (watched == ui->tblNames &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        if (event->type() == QEvent::KeyPress) {
            copySelection();
        }
        event->accept();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void frmPreview::copySelection() {
    QGuiApplication::clipboard()->setText(
        model_->rowsAsText(ui->tblNames->selectionModel()->selectedRows()));
}
