#pragma once

// Preview New Names: every listed file with the name Rename would give it and
// why, before anything is renamed. Modeless and resizable; it remembers
// nothing and never writes the settings.

#include <QWidget>
#include <memory>

#include "engine/Preview.h"

namespace Ui {
class frmPreview;
}
class PreviewModel;

class frmPreview : public QWidget {
    Q_OBJECT
  public:
    explicit frmPreview(QWidget* parent = nullptr);
    ~frmPreview() override;

    // Fills the table and the counts with `summary`.
    void showSummary(const preview::Summary& summary);

  public slots:
    void Form_Load();
    void cmdClose_Click();

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
