#pragma once

// Preview New Names: every listed file with the name Rename would give it and
// why, before anything is renamed. Modeless and resizable; it keeps its place
// and size for the next time it opens in this run, and never writes the
// settings.

#include <QRect>
#include <QWidget>
#include <memory>
#include <optional>

#include "engine/BatchPlan.h"

namespace Ui {
class frmPreview;
}
class PreviewModel;

class frmPreview : public QWidget {
    Q_OBJECT
  public:
    explicit frmPreview(QWidget* parent = nullptr);
    ~frmPreview() override;

    // Shows `plan` (or a batch's record): the rows that changed since the
    // last plan of as many rows, the scroll position and selection kept;
    // `note` after the counts.
    void showPlan(const batch::Plan& plan, const QString& note = QString());

    // Where the window stood when it was last closed in this run.
    static std::optional<QRect> keptPlace();

  public slots:
    void Form_Load();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    // Puts the selected rows on the clipboard as tab-separated lines.
    void copySelection();

    std::unique_ptr<Ui::frmPreview> ui;
    PreviewModel* model_;
    bool columnsSized_ = false;
};
