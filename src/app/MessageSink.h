#pragma once

#include <QString>
#include <functional>
#include <memory>

class QMessageBox;
class QWidget;

namespace tarnfold::app {

// A message for the user: "done!" after a compile, or what went wrong.
struct Message {
    enum class Kind { Information, Warning };
    Kind kind = Kind::Information;
    QString text;
    QString detail;  // shown below the text when not empty
};

// Where the window sends its messages. The app shows them in message boxes;
// tests record them instead, so nothing waits for a click.
using MessageSink = std::function<void(QWidget* parent, const Message& message)>;

// Lines of detail a box shows; the rest is behind its "Show Details..." button.
constexpr int kBoxDetailLines = 12;

// The box for a message, not yet shown: no taller than a few lines of detail,
// whatever the message, and wide enough for its title.
std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, const Message& message);

// Shows the message in a modal box and returns when it is closed.
void ShowMessageBox(QWidget* parent, const Message& message);

}  // namespace tarnfold::app
