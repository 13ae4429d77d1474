// The pages of the main window's parameter page control: they show the parameter blocks of the
// configuration image and write every user change straight back into it.
#pragma once

#include "config/ConfigImage.h"
#include "config/Vocabulary.h"
#include "host/EditorViews.h"
#include "host/UiHost.h"
#include "text/TextPair.h"

#include <QObject>

#include <memory>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTabWidget;
class QWidget;

namespace Ui {
class ParamPagePins;
class ParamPageLin;
class ParamPageSources;
class ParamPageRadio;
} // namespace Ui

namespace korvex {

// Replaces the items of a choice box by a table in the given language, selects item 0 and sets
// the box's hint. Fires no change handler.
void FillChoiceBox(QComboBox* box, NameTable table, const QString& hint, int language);

class ParameterPages final : public QObject {
    Q_OBJECT
public:
    // Adds the pages "Выводы", "Шина LIN", "Источники", "Управление магнитолой" and an (empty
    // for now) page TabSheetLINProg "LIN Программатор" to the main window's page control, in
    // that order; Pins selected. The lists are filled in the current language; the caller
    // refreshes.
    ParameterPages(QTabWidget* pageControlParams, ConfigImage& image, ViewState& views,
                   EditorViews& editor, UiHost& host, const LanguageState& language,
                   QObject* parent = nullptr);
    ~ParameterPages() override;

    // Brings every parameter control in line with the image; skipped while the image is
    // unchanged since the last time, except for the event-reaction editor.
    void RefreshParameterPages();
    // After a language switch: refills the list controls, selecting item 0, and sets the hints
    // that the code owns.
    void LanguageChanged();
    QWidget* linProgPage() const { return linProgPage_; }

private:
    void connectControls();
    void connectChoice(QComboBox* box, U8Field field, bool invalidate);
    void connectNibble(QComboBox* box, NibbleField field);
    void connectFlag(QCheckBox* box, U8Field field);
    bool storeNumber(QLineEdit* edit, int low, int high, int offset, int width);
    void connectVolts(QLineEdit* edit, U16Field field);
    void longPressEntered();
    void keyReassignEntered();
    void fillSlaveTypes();
    void refreshControls();

    QTabWidget* pageControl_;
    ConfigBytes& bytes_;
    ViewState& views_;
    EditorViews& editor_;
    UiHost& host_;
    const LanguageState& language_;
    std::unique_ptr<Ui::ParamPagePins> pins_;
    std::unique_ptr<Ui::ParamPageLin> lin_;
    std::unique_ptr<Ui::ParamPageSources> sources_;
    std::unique_ptr<Ui::ParamPageRadio> radio_;
    QWidget* linProgPage_ = nullptr;
    bool refreshRunning_ = false;
};

} // namespace korvex
