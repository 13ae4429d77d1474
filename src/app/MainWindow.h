// The main window. For now a frame that shows the controller found by the link.
#pragma once

#include <QMainWindow>

namespace korvex {

class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
};

} // namespace korvex
