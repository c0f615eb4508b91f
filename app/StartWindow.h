#pragma once

#include <QMainWindow>

// A plain window showing the Factors and Levels grid, until the main window exists.
class StartWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit StartWindow(QWidget* parent = nullptr);
};
