// The small dialog that ticks the sources of an 8-bit source mask (bit i = source i + 1). Made
// once and reused for the event source mask and the skip list of a source reaction.
#pragma once

#include <QDialog>

#include <cstdint>
#include <memory>

namespace Ui {
class SourceDialog;
}

namespace korvex {

class SourceDialog final : public QDialog {
    Q_OBJECT
public:
    explicit SourceDialog(QWidget* parent = nullptr);
    ~SourceDialog() override;

    // Shows the two caption lines (already in the language), the dialog's top-left corner at
    // `topLeft`, ticks from `mask`. On OK the mask becomes the ticked sources and the result is
    // true; otherwise the mask stays.
    bool SelectSources(const QString& line1, const QString& line2, QPoint topLeft,
                       std::uint8_t& mask, int language);

private:
    std::unique_ptr<Ui::SourceDialog> ui_;
};

// Moves a dialog so that its top-left corner is at `topLeft`, but wholly on the screen that
// holds the point: a dialog past the screen's edge could not be answered.
void PlaceOnScreen(QWidget* dialog, QPoint topLeft);

} // namespace korvex
