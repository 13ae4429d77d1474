// The small dialog that names an event-reaction tab: up to ten characters of code page 1251,
// stored in the entry's name field. Made once and reused.
#pragma once

#include "config/ConfigImage.h"

#include <QDialog>

#include <memory>

namespace Ui {
class TabNameDialog;
}

namespace korvex {

class TabNameDialog final : public QDialog {
    Q_OBJECT
public:
    explicit TabNameDialog(QWidget* parent = nullptr);
    ~TabNameDialog() override;

    // Edits the name of entry `tab` with the dialog's top-left corner at `topLeft`. True when
    // the user confirmed and the name was stored; the caller then renews the tab captions.
    bool EditTabName(QPoint topLeft, int tab, ConfigImage& image, int language);

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::TabNameDialog> ui_;
};

} // namespace korvex
