#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace tarnfold::app {

// A message for the user: "done!" after a compile, or what went wrong.
struct Message {
    enum class Kind { Information, Warning };
    Kind kind = Kind::Information;
    QString text;
    QString detail;  // shown below the text when not empty (the compiler's warnings)
};

// Where the window sends its messages. The app shows them in message boxes;
// tests record them instead, so nothing waits for a click.
using MessageSink = std::function<void(QWidget* parent, const Message& message)>;

// Shows the message in a modal QMessageBox and returns when it is closed.
void ShowMessageBox(QWidget* parent, const Message& message);

}  // namespace tarnfold::app
