#pragma once

#include <QApplication>

namespace tarnfold::app {

class MenuBar1;

// The application object. Its menu bar is the MenuBar1 instance, which it
// ends when it ends.
class App : public QApplication {
    Q_OBJECT
public:
    App(int& argc, char** argv);
    ~App() override;
};

}  // namespace tarnfold::app
