// A tab strip too narrow for its tabs scrolls them; Qt then leaves the tab at its left edge cut
// in the middle of its caption. This covers that part, so that only whole tabs are seen.
#pragma once

#include <QObject>

class QTabBar;
class QWidget;

namespace korvex {

class WholeTabsAtLeft final : public QObject {
public:
    // Lives as long as `bar`.
    explicit WholeTabsAtLeft(QTabBar* bar);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place();

    QTabBar* bar_;
    QWidget* cover_;
};

} // namespace korvex
