// The event half of the editor: the pages of PageControlEvent and the press, once and source
// controls under them. It shows what the event rules decide and forwards the user's changes.
#pragma once

#include "editor/EditorContext.h"

#include <QObject>

#include <memory>

class QLabel;
class QTabWidget;
class QWidget;

namespace Ui {
class EventBottom;
class EventPageLin;
class EventPageTimeout;
class EventPageVoltage;
} // namespace Ui

namespace korvex {

class EventEditor final : public QObject {
    Q_OBJECT
public:
    // Adds the five pages to `pageControl` and builds the press, once and source row into
    // `bottomPanel` (an empty widget). The controls start disabled, as before any entry is shown.
    EventEditor(QTabWidget* pageControl, QWidget* bottomPanel, EditorContext context,
                QObject* parent = nullptr);
    ~EventEditor() override;

    // The event step of the entry display for entry n.
    void Show(int n);
    // Refills the lists that the code owns; the next Show selects the stored items again.
    void LanguageChanged();

    int pageCount() const;
    // The capture panel that fills page 0.
    QLabel* capturePanel() const { return capturePanel_; }
    // The controller's current source, shown beside the source mask.
    QLabel* currentSourcePanel() const;

private:
    void connectControls();
    void sourceMaskChosen(int index);

    QTabWidget* pageControl_;
    EditorContext context_;
    std::unique_ptr<Ui::EventBottom> bottom_;
    std::unique_ptr<Ui::EventPageLin> lin_;
    std::unique_ptr<Ui::EventPageTimeout> timeout_;
    std::unique_ptr<Ui::EventPageVoltage> voltage_;
    QLabel* capturePanel_ = nullptr;
};

} // namespace korvex
